// What our callbacks and helpers make of what the plugin hands them, and the walk that lists
// what it packs. No plugin needed: which interfaces our objects answer to, and in which layout,
// the real plugin and the stand-ins prove by using them.
#include "p7/p7_collect.h"
#include "p7/p7_extract_callbacks.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using p7::Layout;

class TestP7Objects : public QObject {
    Q_OBJECT

private slots:
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
        cfr::p7CollectItems(items, L"top", QFile::encodeName(dir.filePath("top")).toStdString());
        QStringList names;
        for (const auto& item : items)
            names << QString::fromStdWString(item.name);
        names.sort();
        // Links are followed, except back into the folder being walked.
        QCOMPARE(names, (QStringList{"top", "top/f.txt", "top/linked", "top/linked/g.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestP7Objects)
#include "tst_p7_objects.moc"
