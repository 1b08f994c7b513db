// Where library paths are stored and which free names the library picks.
#include "library/documents_paths.h"
#include "library/free_names.h"
#include "library/size_text.h"
#include "test_support.h"

#include <QDir>
#include <QtTest>

class TestLibraryNames : public QObject {
    Q_OBJECT

private slots:
    void pathsAgainstDocuments_data();
    void pathsAgainstDocuments();
    void safeBaseNames_data();
    void safeBaseNames();
    void archiveNamesGainStampThenNumber();
    void folderNamesGainSpaceAndNumber();
    void sizeTexts_data();
    void sizeTexts();
};

static const QString Documents = QStringLiteral("/home/u/Documents");

void TestLibraryNames::pathsAgainstDocuments_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<bool>("roundTrips"); // saving the loaded path writes stored back

    QTest::newRow("relative") << "Coffret/x.cfr" << Documents + "/Coffret/x.cfr" << true;
    QTest::newRow("other home") << "/old/home/Documents/Coffret/x.cfr"
                                << Documents + "/Coffret/x.cfr" << false;
    QTest::newRow("last Documents wins")
        << "/a/Documents/b/Documents/c.zip" << Documents + "/c.zip" << false;
    QTest::newRow("outside") << "/mnt/data/x.cfr"
                             << "/mnt/data/x.cfr" << true;
    QTest::newRow("prefix without slash") << "/home/u/DocumentsOld/x.cfr"
                                          << "/home/u/DocumentsOld/x.cfr" << true;
    QTest::newRow("empty") << ""
                           << "" << true;
}

void TestLibraryNames::pathsAgainstDocuments() {
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    QFETCH(bool, roundTrips);
    QCOMPARE(resolvePath(stored, Documents), loaded);
    if (roundTrips)
        QCOMPARE(shortenPath(loaded, Documents), stored);
    else
        QCOMPARE(shortenPath(loaded, Documents), loaded.mid(Documents.size() + 1));
}

void TestLibraryNames::safeBaseNames_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "report"
                           << "report";
    QTest::newRow("empty") << ""
                           << "fallback";
    QTest::newRow("dot dot") << ".."
                             << "fallback";
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
    QVERIFY(testing::writeFile(folder + "/report_20250101_120000_1.cfr", "3"));
    QCOMPARE(freeArchivePath(folder, "report", ".cfr", now),
             folder + "/report_20250101_120000_2.cfr");
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
    QTest::newRow("nothing") << qint64(0) << "0 B";
    QTest::newRow("one kilobyte") << kilo << "1.0 KB";
    QTest::newRow("one and a half") << kilo + 512 << "1.5 KB";
    QTest::newRow("rounded") << kilo * kilo - 1 << "1024.0 KB";
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
