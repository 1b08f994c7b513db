// Our streams and callbacks as the plugin sees them, in both object layouts: identity and
// reference counts, the values they hand over, and what they record. No plugin needed.
#include "p7/p7_collect.h"
#include "p7/p7_extract_callbacks.h"
#include "p7/p7_update_callback.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using p7::Layout;

namespace {

std::uint32_t countOf(p7::UnknownMethods* object) {
    object->AddRef();
    return object->Release();
}

// QueryInterface answers exactly the listed identifiers; each answer holds one more
// reference, given back through the view it came from.
void checkIdentity(p7::UnknownMethods* object, std::initializer_list<p7::GUID> listed) {
    const std::uint32_t before = countOf(object);
    for (const auto& iid : listed) {
        void* view = nullptr;
        QCOMPARE(object->QueryInterface(iid, &view), p7::S_OK);
        QVERIFY(view);
        QCOMPARE(countOf(object), before + 1);
        QCOMPARE(static_cast<p7::UnknownMethods*>(view)->Release(), before);
    }
    for (const auto& iid : {p7::IID_IInArchive, p7::IID_IOutArchive, p7::IID_ISetProperties,
                            p7::sevenZipIid(0x03, 0x06)}) {
        if (cfr::answersTo(iid, listed))
            continue;
        void* view = reinterpret_cast<void*>(1);
        QCOMPARE(object->QueryInterface(iid, &view), p7::E_NOINTERFACE);
        QVERIFY(!view);
        QCOMPARE(countOf(object), before);
    }
}

template <Layout L> void checkAllIdentities(const QString& dir) {
    using namespace p7;
    const std::wstring password = L"pw";
    const std::vector<cfr::UpdateItem> updateItems;
    const std::vector<cfr::ExtractItem> extractItems;
    const cfr::ProgressSink sink;

    std::FILE* out = std::fopen(QFile::encodeName(dir + "/out").constData(), "wb+");
    Ref<cfr::OutStream<L>> outStream(new cfr::OutStream<L>(out));
    checkIdentity(outStream.get(), {IID_IUnknown, IID_ISequentialOutStream, IID_IOutStream});
    outStream.reset();
    std::fclose(out);

    Ref<cfr::InStream<L>> in(new cfr::InStream<L>(std::fopen("/dev/null", "rb")));
    checkIdentity(in.get(), {IID_IUnknown, IID_ISequentialInStream});
    Ref<cfr::ArcInStream<L>> arc(new cfr::ArcInStream<L>(std::fopen("/dev/null", "rb")));
    checkIdentity(arc.get(), {IID_IUnknown, IID_ISequentialInStream, IID_IInStream});
    Ref<cfr::FileOutStream<L>> fileOut(new cfr::FileOutStream<L>);
    checkIdentity(fileOut.get(), {IID_IUnknown, IID_ISequentialOutStream});

    Ref<cfr::UpdateCallback<L>> update(new cfr::UpdateCallback<L>(updateItems, password, &sink));
    checkIdentity(
        static_cast<IArchiveUpdateCallback<L>*>(update.get()),
        {IID_IUnknown, IID_IProgress, IID_IArchiveUpdateCallback, IID_ICryptoGetTextPassword2});
    Ref<cfr::OpenCb<L>> open(new cfr::OpenCb<L>(password));
    checkIdentity(static_cast<IArchiveOpenCallback<L>*>(open.get()),
                  {IID_IUnknown, IID_IArchiveOpenCallback, IID_ICryptoGetTextPassword});
    Ref<cfr::ExtractCb<L>> extract(new cfr::ExtractCb<L>(extractItems, password, &sink));
    checkIdentity(
        static_cast<IArchiveExtractCallback<L>*>(extract.get()),
        {IID_IUnknown, IID_IProgress, IID_IArchiveExtractCallback, IID_ICryptoGetTextPassword});
}

} // namespace

class TestP7Objects : public QObject {
    Q_OBJECT

private slots:
    void identityAndCounts() {
        QTemporaryDir dir;
        checkAllIdentities<Layout::Plain>(dir.path());
        checkAllIdentities<Layout::VirtualDestructor>(dir.path());
    }

    void operationResults_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("outcome");
        QTest::newRow("ok") << 0 << int(cfr::Ok);
        QTest::newRow("crc error") << 3 << int(cfr::Failed);
        QTest::newRow("wrong password") << 9 << int(cfr::BadPassword);
    }

    void operationResults() {
        QFETCH(int, result);
        QFETCH(int, outcome);
        const std::vector<cfr::ExtractItem> items;
        const std::wstring password;
        const cfr::ProgressSink sink;
        p7::Ref<cfr::ExtractCb<Layout::VirtualDestructor>> callback(
            new cfr::ExtractCb<Layout::VirtualDestructor>(items, password, &sink));
        callback->SetOperationResult(result);
        callback->SetOperationResult(0); // a later success does not undo a failure
        QCOMPARE(callback->outcome(p7::S_OK), outcome);
    }

    void lenientUtf8_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QVector<uint>>("wide");
        QTest::addColumn<bool>("roundTrips");
        QTest::newRow("four bytes")
            << QByteArray("\xF0\x9F\x98\x80") << QVector<uint>{0x1F600} << true;
        QTest::newRow("stray continuation")
            << QByteArray("\x80z") << QVector<uint>{0x80, 'z'} << false;
        QTest::newRow("cut short") << QByteArray("\xE2\x82") << QVector<uint>{0x82} << false;
    }

    void lenientUtf8() {
        QFETCH(QByteArray, utf8);
        QFETCH(QVector<uint>, wide);
        QFETCH(bool, roundTrips);
        const std::wstring decoded = cfr::utf8ToWide(utf8.toStdString());
        QCOMPARE(QVector<uint>(decoded.begin(), decoded.end()), wide);
        if (roundTrips)
            QCOMPARE(QByteArray::fromStdString(cfr::wideToUtf8(decoded.c_str())), utf8);
    }

    void collectGuardsLinkCycles() {
        QTemporaryDir dir;
        QVERIFY(testing::writeFile(dir.filePath("top/f.txt"), "f"));
        QVERIFY(testing::writeFile(dir.filePath("elsewhere/g.txt"), "g"));
        QVERIFY(QFile::link(dir.filePath("top"), dir.filePath("top/loop")));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), dir.filePath("top/linked")));
        std::vector<cfr::UpdateItem> items;
        const cfr::StagedFile output(QFile::encodeName(dir.filePath("out.7z")).toStdString());
        cfr::p7CollectItems(items, "top", QFile::encodeName(dir.filePath("top")).toStdString(),
                            output);
        QStringList names;
        for (const auto& item : items)
            names << QString::fromStdWString(item.name);
        names.sort();
        // Links are followed; one back into the folder being walked stays an empty folder.
        QCOMPARE(names,
                 (QStringList{"top", "top/f.txt", "top/linked", "top/linked/g.txt", "top/loop"}));
    }
};

QTEST_GUILESS_MAIN(TestP7Objects)
#include "tst_p7_objects.moc"
