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
    void freePaths_data();
    void freePaths();
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

// The one numbering rule behind every new folder and archive name, on disk and in a batch.
void TestLibraryNames::freePaths_data() {
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("existing"); // "x/" a folder, "x@" a dangling link, "x" a file
    QTest::addColumn<QStringList>("batch");    // taken by earlier jobs of the same batch
    QTest::addColumn<QString>("expected");
    const QStringList none;
    QTest::newRow("free") << "" << none << none << "photos";
    QTest::newRow("two taken") << "" << QStringList{"photos/", "photos (1)/"} << none
                               << "photos (2)";
    QTest::newRow("gap in the numbers")
        << "" << QStringList{"photos/", "photos (2)/"} << none << "photos (1)";
    QTest::newRow("a file blocks a folder") << "" << QStringList{"photos"} << none << "photos (1)";
    QTest::newRow("counter before the suffix")
        << ".tar.gz" << QStringList{"photos.tar.gz/"} << none << "photos (1).tar.gz";
    QTest::newRow("a dangling link blocks")
        << ".zip" << QStringList{"photos.zip@"} << none << "photos (1).zip";
    QTest::newRow("batch and disk together")
        << "" << QStringList{"photos/"} << QStringList{"photos (1)"} << "photos (2)";
}

void TestLibraryNames::freePaths() {
    QFETCH(QString, suffix);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, batch);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    for (const QString& entry : existing) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath(folder + entry));
        else if (entry.endsWith('@'))
            QVERIFY(QFile::link(folder + "nowhere", folder + entry.chopped(1)));
        else
            QVERIFY(testing::writeFile(folder + entry, "x"));
    }
    const auto inBatch = [&](const QString& path) {
        return batch.contains(path.mid(folder.size()));
    };
    QCOMPARE(freePath(folder + "photos", suffix, inBatch), folder + expected);
}

Q_DECLARE_METATYPE(SizeStyle)

void TestLibraryNames::sizeTexts_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<SizeStyle>("style");
    QTest::addColumn<QString>("text");
    const qint64 kilo = 1024;
    QTest::newRow("nothing") << qint64(0) << librarySizes << "0 B";
    QTest::newRow("one kilobyte") << kilo << librarySizes << "1.0 KB";
    QTest::newRow("one and a half") << kilo + 512 << librarySizes << "1.5 KB";
    QTest::newRow("rounded") << kilo * kilo - 1 << librarySizes << "1024.0 KB";
    QTest::newRow("gigabytes") << 3 * kilo * kilo * kilo / 2 << librarySizes << "1.5 GB";
    QTest::newRow("no unit above TB")
        << 2048 * kilo * kilo * kilo * kilo << librarySizes << "2048.0 TB";
    QTest::newRow("list: bytes") << qint64(512) << packListSizes << "512 B";
    QTest::newRow("list: whole") << 10 * kilo << packListSizes << "10 KB";
    QTest::newRow("list: one and a half") << kilo + 512 << packListSizes << "1.5 KB";
    QTest::newRow("list: two places") << qint64(1100) << packListSizes << "1.07 KB";
    QTest::newRow("list: rounds up to a whole") << kilo * kilo - 1 << packListSizes << "1024 KB";
    QTest::newRow("list: quarter MB") << qint64(2359296) << packListSizes << "2.25 MB";
    QTest::newRow("list: no unit above GB")
        << 5 * kilo * kilo * kilo * kilo << packListSizes << "5120 GB";
}

void TestLibraryNames::sizeTexts() {
    QFETCH(qint64, bytes);
    QFETCH(SizeStyle, style);
    QFETCH(QString, text);
    QCOMPARE(sizeText(bytes, style), text);
}

QTEST_GUILESS_MAIN(TestLibraryNames)
#include "tst_library_names.moc"
