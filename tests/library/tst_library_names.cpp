// The names the library picks, its size texts, and the digests of archives and extraction folders.
#include "library/file_digest.h"
#include "library/folder_digest.h"
#include "library/free_names.h"
#include "library/size_text.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(SizeStyle)

class TestLibraryNames : public QObject {
    Q_OBJECT

private slots:
    void safeBaseNames_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("climbing") << "../../.bashrc"
                                  << ".._.._.bashrc";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "_etc_passwd";
    }

    void safeBaseNames() {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(safeBaseName(given, "fallback"), expected);
    }

    void archiveNamesGainStampThenNumber() {
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
        QCOMPARE(freeArchivePath(folder, "gone", ".zip", now),
                 folder + "/gone_20250101_120000.zip");
        // An extension cannot lead out of the folder either.
        QCOMPARE(freeArchivePath(folder, "x", "/../y", now), folder + "/x_.._y");
    }

    // The one numbering rule behind every new folder and archive name, on disk and in a batch.
    void freePaths_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("folders"); // already on disk
        QTest::addColumn<QStringList>("batch");   // taken by earlier jobs of the same batch
        QTest::addColumn<QString>("expected");
        const QStringList none;
        QTest::newRow("gap in the numbers")
            << "" << QStringList{"photos/", "photos (2)/"} << none << "photos (1)";
        QTest::newRow("counter before the suffix")
            << ".tar.gz" << QStringList{"photos.tar.gz/"} << none << "photos (1).tar.gz";
        QTest::newRow("batch and disk together")
            << "" << QStringList{"photos/"} << QStringList{"photos (1)"} << "photos (2)";
    }

    void freePaths() {
        QFETCH(QString, suffix);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, batch);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString folder = dir.path() + '/';
        for (const QString& entry : folders)
            QVERIFY(QDir().mkpath(folder + entry));
        const auto inBatch = [&](const QString& path) {
            return batch.contains(path.mid(folder.size()));
        };
        QCOMPARE(freePath(folder + "photos", suffix, inBatch), folder + expected);
    }

    void sizeTexts_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<SizeStyle>("style");
        QTest::addColumn<QString>("text");
        const qint64 kilo = 1024;
        QTest::newRow("one and a half") << kilo + 512 << librarySizes << "1.5 KB";
        QTest::newRow("no unit above TB")
            << 2048 * kilo * kilo * kilo * kilo << librarySizes << "2048.0 TB";
        QTest::newRow("list: whole") << 10 * kilo << packListSizes << "10 KB";
        QTest::newRow("list: two places") << qint64(1100) << packListSizes << "1.07 KB";
        QTest::newRow("list: rounds up to a whole")
            << kilo * kilo - 1 << packListSizes << "1024 KB";
        QTest::newRow("list: no unit above GB")
            << 5 * kilo * kilo * kilo * kilo << packListSizes << "5120 GB";
    }

    void sizeTexts() {
        QFETCH(qint64, bytes);
        QFETCH(SizeStyle, style);
        QFETCH(QString, text);
        QCOMPARE(sizeText(bytes, style), text);
    }

    void fileDigestMatchesSha256sum() {
        QTemporaryDir dir;
        const QString path = dir.filePath("archive.bin");
        // Crosses the read block size, with a ragged end.
        QVERIFY(testing::writeFile(path, testing::noiseBytes(3 * 1024 * 1024 + 17, 7)));
        const testing::ToolRun run = testing::runTool("sha256sum", {path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(fileDigest(path), QString::fromLatin1(run.out.left(64)));
    }

    void fileDigestOfNonFilesIsEmpty() {
        QTemporaryDir dir;
        QCOMPARE(fileDigest(dir.filePath("missing")), QString());
        QCOMPARE(fileDigest(dir.path()), QString());
        // Opening a pipe without a writer would wait forever.
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        QCOMPARE(fileDigest(dir.filePath("pipe")), QString());
    }

    void folderDigestFollowsItsDefinition() {
        QTemporaryDir dir;
        const QString root = dir.filePath("x");
        QVERIFY(testing::writeFile(root + "/b", "2"));
        QVERIFY(testing::writeFile(root + "/a/x", "1"));
        QVERIFY(testing::writeFile(root + "/B", "3"));
        QVERIFY(testing::writeFile(root + QString::fromUtf8("/\xc3\xa9"), "4"));
        // Code-unit order: "B" < "a/x" < "b" < "é"; names in UTF-8, each closed by a zero byte.
        const QByteArray input("B\0003a/x\0001b\0002\xc3\xa9\0004", 15);
        QCOMPARE(folderDigest(root),
                 QString::fromLatin1(
                     QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex()));

        QVERIFY(QDir().mkpath(dir.filePath("empty")));
        QCOMPARE(folderDigest(dir.filePath("empty")),
                 QString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
        QCOMPARE(folderDigest(dir.filePath("missing")), QString());
        QCOMPARE(folderDigest(root + "/b"), QString());
    }
};

QTEST_GUILESS_MAIN(TestLibraryNames)
#include "tst_library_names.moc"
