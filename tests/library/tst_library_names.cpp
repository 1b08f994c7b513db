// Where library paths are stored and which free names the library picks.
#include "library/free_names.h"
#include "library/size_text.h"
#include "test_support.h"

#include <QDir>
#include <QtTest>

class TestLibraryNames : public QObject {
    Q_OBJECT

private slots:
    void safeBaseNames_data();
    void safeBaseNames();
    void archiveNamesGainStampThenNumber();
    void folderNamesGainSpaceAndNumber();
    void sizeTexts_data();
    void sizeTexts();
};

void TestLibraryNames::safeBaseNames_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("climbing") << "../../.bashrc"
                              << ".._.._.bashrc";
    QTest::newRow("absolute") << "/etc/passwd"
                              << "_etc_passwd";
}

void TestLibraryNames::safeBaseNames() {
    QFETCH(QString, given);
    QFETCH(QString, expected);
    QCOMPARE(safeBaseName(given, "fallback"), expected);
}

void TestLibraryNames::archiveNamesGainStampThenNumber() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QDateTime now(QDate(2025, 1, 1), QTime(12, 0, 0));

    QCOMPARE(freeArchivePath(folder, "report", ".cfr", now), folder + "/report.cfr");
    QVERIFY(testing::writeFile(folder + "/report.cfr", "1"));
    QCOMPARE(freeArchivePath(folder, "report", ".cfr", now),
             folder + "/report_20250101_120000.cfr");
    QVERIFY(testing::writeFile(folder + "/report_20250101_120000.cfr", "2"));
    QCOMPARE(freeArchivePath(folder, "report", ".cfr", now),
             folder + "/report_20250101_120000_1.cfr");
    // A dangling link still takes its name.
    QVERIFY(QFile::link(folder + "/nowhere", folder + "/gone.zip"));
    QCOMPARE(freeArchivePath(folder, "gone", ".zip", now), folder + "/gone_20250101_120000.zip");
    // An extension cannot lead out of the folder either.
    QCOMPARE(freeArchivePath(folder, "x", "/../y", now), folder + "/x_.._y");
}

void TestLibraryNames::folderNamesGainSpaceAndNumber() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    QCOMPARE(freeFolderPath(folder, "photos"), folder + "/photos");
    QVERIFY(QDir().mkpath(folder + "/photos"));
    QCOMPARE(freeFolderPath(folder, "photos"), folder + "/photos (1)");
    // A file of that name counts as taken too.
    QVERIFY(testing::writeFile(folder + "/photos (1)", "x"));
    QCOMPARE(freeFolderPath(folder, "photos"), folder + "/photos (2)");
}

void TestLibraryNames::sizeTexts_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    const qint64 kilo = 1024;
    QTest::newRow("gigabytes") << 3 * kilo * kilo * kilo / 2 << "1.5 GB";
    QTest::newRow("no unit above TB") << 2048 * kilo * kilo * kilo * kilo << "2048.0 TB";
}

void TestLibraryNames::sizeTexts() {
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(sizeText(bytes), text);
}

QTEST_GUILESS_MAIN(TestLibraryNames)
#include "tst_library_names.moc"
