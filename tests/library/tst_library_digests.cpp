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

QTEST_GUILESS_MAIN(TestLibraryDigests)
#include "tst_library_digests.moc"
