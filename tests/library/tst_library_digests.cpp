// The file digest of archives and the folder digest of extraction folders.
#include "library/file_digest.h"
#include "library/folder_digest.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>
#include <sys/stat.h>

class TestLibraryDigests : public QObject {
    Q_OBJECT

private slots:
    void fileDigestMatchesSha256sum_data();
    void fileDigestMatchesSha256sum();
    void fileDigestOfNonFilesIsEmpty();
    void folderDigestFollowsItsDefinition();
    void folderDigestSensitivity_data();
    void folderDigestSensitivity();
};

void TestLibraryDigests::fileDigestMatchesSha256sum_data() {
    QTest::addColumn<qint64>("size");
    QTest::newRow("empty") << qint64(0);
    // Crosses the read block size, with a ragged end.
    QTest::newRow("several blocks") << qint64(3 * 1024 * 1024 + 17);
}

void TestLibraryDigests::fileDigestMatchesSha256sum() {
    QFETCH(qint64, size);
    QTemporaryDir dir;
    const QString path = dir.filePath("archive.bin");
    QVERIFY(testing::writeFile(path, testing::noiseBytes(size, 7)));
    const testing::ToolRun run = testing::runTool("sha256sum", {path});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(fileDigest(path), QString::fromLatin1(run.out.left(64)));
}

void TestLibraryDigests::fileDigestOfNonFilesIsEmpty() {
    QTemporaryDir dir;
    QCOMPARE(fileDigest(dir.filePath("missing")), QString());
    QCOMPARE(fileDigest(dir.path()), QString());
    // Opening a pipe without a writer would wait forever.
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
    QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
    QCOMPARE(fileDigest(dir.filePath("pipe")), QString());
}

void TestLibraryDigests::folderDigestFollowsItsDefinition() {
    QTemporaryDir dir;
    const QString root = dir.filePath("x");
    QVERIFY(testing::writeFile(root + "/b", "2"));
    QVERIFY(testing::writeFile(root + "/a/x", "1"));
    QVERIFY(testing::writeFile(root + "/B", "3"));
    QVERIFY(testing::writeFile(root + QString::fromUtf8("/\xc3\xa9"), "4"));
    // Code-unit order: "B" < "a/x" < "b" < "é"; names in UTF-8, each closed by a zero byte.
    QByteArray input;
    input += QByteArray("B\0", 2) + "3";
    input += QByteArray("a/x\0", 4) + "1";
    input += QByteArray("b\0", 2) + "2";
    input += QByteArray("\xc3\xa9\0", 3) + "4";
    QCOMPARE(
        folderDigest(root),
        QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex()));

    QVERIFY(QDir().mkpath(dir.filePath("empty")));
    QCOMPARE(folderDigest(dir.filePath("empty")),
             QString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    QCOMPARE(folderDigest(dir.filePath("missing")), QString());
    QCOMPARE(folderDigest(root + "/b"), QString());
}

void TestLibraryDigests::folderDigestSensitivity_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("intact");
    QTest::newRow("one byte changed") << "byte" << false;
    QTest::newRow("file added") << "add" << false;
    QTest::newRow("file renamed") << "rename" << false;
    QTest::newRow("timestamps touched") << "touch" << true;
    QTest::newRow("empty folder added") << "emptyFolder" << true;
    QTest::newRow("hidden file added") << "hidden" << true;
    QTest::newRow("symbolic link added") << "symlink" << true;
}

void TestLibraryDigests::folderDigestSensitivity() {
    QFETCH(QString, change);
    QFETCH(bool, intact);
    QTemporaryDir dir;
    const QString root = dir.filePath("extracted");
    QVERIFY(testing::writeFile(root + "/doc.txt", testing::noiseBytes(70000, 3)));
    QVERIFY(testing::writeFile(root + "/sub/pic.bin", testing::noiseBytes(1000, 4)));
    const QString before = folderDigest(root);
    QCOMPARE(before.size(), 64);

    if (change == "byte") {
        QByteArray bytes = testing::readFile(root + "/doc.txt");
        bytes[50000] = char(bytes.at(50000) ^ 1);
        QVERIFY(testing::writeFile(root + "/doc.txt", bytes));
    } else if (change == "add") {
        QVERIFY(testing::writeFile(root + "/sub/new.txt", "new"));
    } else if (change == "rename") {
        QVERIFY(QFile::rename(root + "/doc.txt", root + "/doc2.txt"));
    } else if (change == "move") {
        QVERIFY(QFile::rename(root + "/doc.txt", root + "/sub/doc.txt"));
    } else if (change == "remove") {
        QVERIFY(QFile::remove(root + "/sub/pic.bin"));
    } else if (change == "addEmpty") {
        QVERIFY(testing::writeFile(root + "/empty.txt", QByteArray()));
    } else if (change == "touch") {
        QFile file(root + "/doc.txt");
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5)),
                                 QFileDevice::FileModificationTime));
    } else if (change == "chmod") {
        QVERIFY(QFile::setPermissions(root + "/doc.txt", QFileDevice::ReadOwner));
    } else if (change == "emptyFolder") {
        QVERIFY(QDir().mkpath(root + "/sub/nothing/here"));
    } else if (change == "hidden") {
        QVERIFY(testing::writeFile(root + "/.thumbs", "x"));
    } else if (change == "hiddenFolder") {
        QVERIFY(testing::writeFile(root + "/.cache/data", "x"));
    } else if (change == "symlink") {
        QVERIFY(testing::writeFile(dir.filePath("outside.txt"), "outside"));
        QVERIFY(QFile::link(dir.filePath("outside.txt"), root + "/link.txt"));
    }
    QCOMPARE(folderDigest(root) == before, intact);
}

QTEST_GUILESS_MAIN(TestLibraryDigests)
#include "tst_library_digests.moc"
