// Writing plain and AES-256 zips, checked with unzip and 7z.
#include "zip/zip_backend.h"

#include "test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace ziptest;

namespace {

// "path -> method" for every entry of 7z's technical listing; encrypted entries only.
QMap<QString, QString> encryptedMethods(const QString& archive, const QString& password) {
    const auto run = testing::runTool("7z", {"l", "-slt", "-p" + password, archive});
    QMap<QString, QString> methods;
    QString path;
    bool encrypted = false;
    for (const QString& line : QString::fromUtf8(run.out).split('\n')) {
        if (line.startsWith("Path = "))
            path = line.mid(7).trimmed();
        else if (line.startsWith("Encrypted = "))
            encrypted = line.endsWith('+');
        else if (line.startsWith("Method = ") && encrypted)
            methods[path] = line.mid(9).trimmed();
    }
    return methods;
}

} // namespace

class ZipPackTest : public QObject {
    Q_OBJECT

private slots:
    void entriesOfFilesAndFolders_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QString();
        QTest::newRow("aes") << QStringLiteral("s3cret pass");
    }

    void entriesOfFilesAndFolders() {
        QFETCH(QString, password);
        Scratch scratch;
        makeSampleTree(scratch.path("in"));
        const QString dest = scratch.path("out/result.zip");
        QDir().mkpath(scratch.path("out"));
        ProgressLog log;
        const cfr::ProgressSink sink = log.sink();
        QCOMPARE(cfr::zipPack(utf8Paths({scratch.path("in/a.txt"), scratch.path("in/docs")}),
                              dest.toStdString(), password.toStdString(), &sink),
                 int(cfr::Ok));

        QCOMPARE(unzipNames(dest), QStringList({"a.txt", "docs/sub/", "docs/x.txt"}));
        QVERIFY(!log.fractions.empty());
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.fractions.back(), 1.0);

        // Files are encrypted under the password, the empty folder carries no data to encrypt.
        const auto methods = encryptedMethods(dest, password);
        if (password.isEmpty()) {
            QVERIFY(methods.isEmpty());
            QCOMPARE(testing::runTool("unzip", {"-q", dest, "-d", scratch.path("check")}).exitCode,
                     0);
        } else {
            QCOMPARE(methods.keys(), QStringList({"a.txt", "docs/x.txt"}));
            for (const QString& method : methods)
                QVERIFY2(method.contains("AES-256"), qPrintable(method));
            QCOMPARE(testing::runTool("7z", {"t", "-p" + password, dest}).exitCode, 0);
            const auto wrong = testing::runTool("7z", {"t", "-pnot it", dest});
            QVERIFY(wrong.exitCode != 0);
            QCOMPARE(
                testing::runTool("7z", {"x", "-p" + password, "-o" + scratch.path("check"), dest})
                    .exitCode,
                0);
        }
        QCOMPARE(testing::readFile(scratch.path("check/docs/x.txt")),
                 testing::readFile(scratch.path("in/docs/x.txt")));
        QCOMPARE(testing::readFile(scratch.path("check/a.txt")), QByteArray("alpha\n"));
        QVERIFY(QFileInfo(scratch.path("check/docs/sub")).isDir());
        QCOMPARE(testing::treeListing(scratch.path("out")), QStringList({"result.zip"}));
    }

    void linkLoopEnds() {
        Scratch scratch;
        testing::writeFile(scratch.path("docs/x.txt"), "x");
        QVERIFY(QFile::link(scratch.path("docs"), scratch.path("docs/back")));
        const QString dest = scratch.path("loop.zip");
        QCOMPARE(cfr::zipPack(utf8Paths({scratch.path("docs")}), dest.toStdString(), "", nullptr),
                 int(cfr::Ok));
        QCOMPARE(unzipNames(dest), QStringList({"docs/back/", "docs/x.txt"}));
    }

    void archiveBeingReplacedIsLeftOut() {
        Scratch scratch;
        testing::writeFile(scratch.path("docs/x.txt"), "x");
        const QString dest = scratch.path("docs/docs.zip");
        QVERIFY(testing::writeFile(dest, "an earlier archive"));
        QCOMPARE(cfr::zipPack(utf8Paths({scratch.path("docs")}), dest.toStdString(), "", nullptr),
                 int(cfr::Ok));
        QCOMPARE(unzipNames(dest), QStringList({"docs/x.txt"}));
    }

    void cancelLeavesNothing() {
        Scratch scratch;
        testing::writeFile(scratch.path("in/big.bin"), testing::noiseBytes(8 << 20));
        QDir().mkpath(scratch.path("out"));
        ProgressLog log;
        log.stopWhen = [&] { return log.fractions.size() >= 2; };
        const cfr::ProgressSink sink = log.sink();
        QCOMPARE(cfr::zipPack(utf8Paths({scratch.path("in/big.bin")}),
                              scratch.path("out/result.zip").toStdString(), "pw", &sink),
                 int(cfr::Cancelled));
        QVERIFY(QDir(scratch.path("out")).isEmpty());
        QVERIFY(log.fractions.back() < 1.0);
    }
};

QTEST_GUILESS_MAIN(ZipPackTest)
#include "tst_zip_pack.moc"
