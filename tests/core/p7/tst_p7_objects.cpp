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

// The password view is a view of the same object: the same count, and the password.
template <Layout L> void checkPasswordView() {
    const std::wstring password = L"pässwörd";
    const std::vector<cfr::ExtractItem> items;
    const cfr::ProgressSink sink;
    p7::Ref<cfr::ExtractCb<L>> callback(new cfr::ExtractCb<L>(items, password, &sink));
    auto* primary = static_cast<p7::IArchiveExtractCallback<L>*>(callback.get());
    p7::ICryptoGetTextPassword<L>* crypto = nullptr;
    QCOMPARE(
        primary->QueryInterface(p7::IID_ICryptoGetTextPassword, reinterpret_cast<void**>(&crypto)),
        p7::S_OK);
    QVERIFY(static_cast<void*>(crypto) != static_cast<void*>(primary));
    QCOMPARE(countOf(primary), 2u);
    p7::BSTR given = nullptr;
    QCOMPARE(crypto->CryptoGetTextPassword(&given), p7::S_OK);
    QCOMPARE(QString::fromWCharArray(given), QStringLiteral("pässwörd"));
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<char*>(given) - 4, 4);
    QCOMPARE(bytes, 8u * 4u);
    cfr::freeBstr(given);
    QCOMPARE(crypto->Release(), 1u);
}

template <Layout L>
p7::PROPVARIANT updateProperty(const cfr::UpdateItem& item, p7::PROPID id,
                               std::uint32_t index = 0) {
    const std::vector<cfr::UpdateItem> items{item};
    const std::wstring password = L"pw";
    const cfr::ProgressSink sink;
    p7::Ref<cfr::UpdateCallback<L>> callback(new cfr::UpdateCallback<L>(items, password, &sink));
    p7::PROPVARIANT value{};
    value.vt = p7::VT_UI4; // must be cleared
    callback->GetProperty(index, id, &value);
    return value;
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

    void passwordViewSharesTheCount() {
        checkPasswordView<Layout::Plain>();
        checkPasswordView<Layout::VirtualDestructor>();
    }

    void updateProperties_data() {
        QTest::addColumn<bool>("isDir");
        QTest::addColumn<qint64>("mtime");
        QTest::addColumn<quint32>("attrib");
        QTest::addColumn<quint64>("filetime");
        QTest::newRow("file") << false << qint64(1700000000) << 0x20u
                              << quint64((1700000000ull + 11644473600ull) * 10000000ull);
        QTest::newRow("folder") << true << qint64(0) << 0x10u << quint64(116444736000000000ull);
        QTest::newRow("before 1970 reads as 1970")
            << false << qint64(-86400 * 365) << 0x20u << quint64(116444736000000000ull);
    }

    void updateProperties() {
        QFETCH(bool, isDir);
        QFETCH(qint64, mtime);
        QFETCH(quint32, attrib);
        QFETCH(quint64, filetime);
        const cfr::UpdateItem item{L"a", "/nowhere", isDir, isDir ? 0u : 1234u, mtime};
        for (auto layout : {Layout::Plain, Layout::VirtualDestructor}) {
            auto get = [&](p7::PROPID id, std::uint32_t index = 0) {
                return layout == Layout::Plain
                           ? updateProperty<Layout::Plain>(item, id, index)
                           : updateProperty<Layout::VirtualDestructor>(item, id, index);
            };
            const auto time = get(p7::kpidMTime);
            QCOMPARE(time.vt, std::uint16_t(p7::VT_FILETIME));
            QCOMPARE(quint64(time.filetime), filetime);
            const auto attr = get(p7::kpidAttrib);
            QCOMPARE(attr.vt, std::uint16_t(p7::VT_UI4));
            QCOMPARE(quint32(attr.ulVal), attrib);
            QCOMPARE(get(p7::kpidAttrib + 1).vt, std::uint16_t(p7::VT_EMPTY)); // not one we give
            QCOMPARE(get(p7::kpidSize, 1).vt, std::uint16_t(p7::VT_EMPTY));    // no such item
        }
    }

    void pathPropertyIsABstr() {
        const cfr::UpdateItem item{L"dossier/été 😀.txt", "/nowhere", false, 0, 0};
        const auto value = updateProperty<Layout::Plain>(item, p7::kpidPath);
        QCOMPARE(value.vt, std::uint16_t(p7::VT_BSTR));
        QCOMPARE(cfr::wideToUtf8(value.bstrVal), std::string("dossier/été 😀.txt"));
        std::uint32_t bytes = 0;
        std::memcpy(&bytes, reinterpret_cast<char*>(value.bstrVal) - 4, 4);
        QCOMPARE(bytes, std::uint32_t(item.name.size() * 4));
        QCOMPARE(value.bstrVal[item.name.size()], L'\0');
        cfr::freeBstr(value.bstrVal);
    }

    // Nothing is reported before the total is known; a cancel stops the next progress point.
    void progressAndCancel() {
        tartest::ProgressLog reports;
        bool cancel = false;
        reports.stopWhen = [&] { return cancel; };
        const cfr::ProgressSink sink = reports.sink();
        const std::vector<cfr::ExtractItem> items{{"", false}};
        const std::wstring password = L"pw";
        p7::Ref<cfr::ExtractCb<Layout::Plain>> callback(
            new cfr::ExtractCb<Layout::Plain>(items, password, &sink));
        const std::uint64_t five = 5;
        QCOMPARE(callback->SetCompleted(&five), p7::S_OK);
        callback->SetTotal(20);
        QCOMPARE(callback->SetCompleted(&five), p7::S_OK);
        QCOMPARE(callback->SetCompleted(nullptr), p7::S_OK);
        QVERIFY(!callback->cancelled());
        cancel = true;
        QCOMPARE(callback->SetCompleted(&five), p7::E_ABORT);
        p7::ISequentialOutStream<Layout::Plain>* stream = nullptr;
        QCOMPARE(callback->GetStream(0, &stream, p7::kAskExtract), p7::E_ABORT);
        QVERIFY(callback->cancelled());
        QCOMPARE(reports.fractions, std::vector<double>{0.25});
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
        QTest::newRow("two bytes") << QByteArray("\xC3\xA9") << QVector<uint>{0xE9} << true;
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
        cfr::p7CollectItems(items, L"top", QFile::encodeName(dir.filePath("top")).toStdString());
        QStringList names;
        for (const auto& item : items)
            names << QString::fromStdWString(item.name);
        names.sort();
        // Links are followed, except back into the folder being walked.
        QCOMPARE(names, (QStringList{"top", "top/f.txt", "top/linked", "top/linked/g.txt"}));
    }

    void collectSkipsWhatIsNotAFileOrFolder() {
        QTemporaryDir dir;
        QVERIFY(QFile::link(dir.filePath("missing"), dir.filePath("broken")));
        std::vector<cfr::UpdateItem> items;
        for (const char* name : {"broken", "missing"})
            cfr::p7CollectItems(items, L"x", QFile::encodeName(dir.filePath(name)).toStdString());
        cfr::p7CollectItems(items, L"null", "/dev/null");
        QCOMPARE(int(items.size()), 0);
    }
};

QTEST_GUILESS_MAIN(TestP7Objects)
#include "tst_p7_objects.moc"
