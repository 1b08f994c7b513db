// The text the plugin hands over, read leniently, and the walk that lists what it packs. No
// plugin needed: our objects, their interfaces and both layouts are proven by the real plugin
// and the stand-ins using them, their outcomes by the hostile-archive rows.
#include "p7/p7_collect.h"
#include "p7/p7_text.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

class TestP7Objects : public QObject {
    Q_OBJECT

private slots:
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
