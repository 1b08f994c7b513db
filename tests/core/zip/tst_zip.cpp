// Zips written by us, checked with unzip and 7z; zips of other tools and hostile ones read by us.
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

const QStringList sampleListing{"a.txt", "docs/", "docs/noise.bin", "docs/sub/", "docs/x.txt"};

// The sample tree plus a file spanning several read chunks, zipped by a tool of another
// maker; the archive path is returned.
QString zipWithTool(const Scratch& scratch, const QString& tool, const QString& password) {
    makeSampleTree(scratch.path("in"));
    testing::writeFile(scratch.path("in/docs/noise.bin"), testing::noiseBytes(200000));
    const QString archive = scratch.path("made.zip");
    QStringList args;
    if (tool == "zip")
        args << "-q"
             << "-r";
    else
        args << "a"
             << "-tzip";
    if (!password.isEmpty())
        args << (tool == "zip" ? QStringList{"-P", password}
                               : QStringList{"-mem=AES256", "-p" + password});
    args << archive << "a.txt"
         << "docs";
    const auto run = testing::runTool(tool, args, scratch.path("in"));
    return run.exitCode == 0 ? archive : QString();
}

int extract(const QString& archive, const QString& dest, const QString& password,
            ProgressLog* log = nullptr) {
    const cfr::ProgressSink sink = log ? log->sink() : cfr::ProgressSink{};
    return cfr::zipExtract(archive.toStdString(), dest.toStdString(), password.toStdString(), &sink,
                           0, 1);
}

} // namespace

class ZipTest : public QObject {
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

    void archivesOfOtherTools_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("Info-ZIP plain, password not needed") << "zip"
                                                             << ""
                                                             << "pw" << int(cfr::Ok);
        QTest::newRow("ZipCrypto") << "zip"
                                   << "pw"
                                   << "pw" << int(cfr::Ok);
        QTest::newRow("ZipCrypto, wrong") << "zip"
                                          << "pw"
                                          << "wrong" << int(cfr::BadPassword);
        // 7-Zip refuses non-ASCII passwords for zip.
        QTest::newRow("7z AES-256") << "7z"
                                    << "pa$$ word"
                                    << "pa$$ word" << int(cfr::Ok);
        QTest::newRow("7z AES-256, none") << "7z"
                                          << "pa$$ word"
                                          << "" << int(cfr::BadPassword);
    }

    void archivesOfOtherTools() {
        QFETCH(QString, tool);
        QFETCH(QString, password);
        QFETCH(QString, given);
        QFETCH(int, expected);
        Scratch scratch;
        const QString archive = zipWithTool(scratch, tool, password);
        QVERIFY(!archive.isEmpty());
        ProgressLog log;
        QCOMPARE(extract(archive, scratch.path("out"), given, &log), expected);
        if (expected == cfr::Ok) {
            QCOMPARE(testing::treeListing(scratch.path("out")), sampleListing);
            for (const char* file : {"a.txt", "docs/x.txt", "docs/noise.bin"})
                QCOMPARE(testing::readFile(scratch.path(QStringLiteral("out/") + file)),
                         testing::readFile(scratch.path(QStringLiteral("in/") + file)));
            QVERIFY(log.nonDecreasing());
            QCOMPARE(log.fractions.back(), 1.0);
        } else {
            // The folders are not encrypted; no file, not even a garbled one, comes out.
            QCOMPARE(testing::treeListing(scratch.path("out")),
                     QStringList({"docs/", "docs/sub/"}));
        }
    }

    void emptyArchiveWritesNothing() {
        Scratch scratch;
        // An end-of-central-directory record and nothing else.
        QByteArray empty("PK\x05\x06", 4);
        empty.append(QByteArray(18, '\0'));
        QVERIFY(testing::writeFile(scratch.path("empty.zip"), empty));
        ProgressLog log;
        QCOMPARE(extract(scratch.path("empty.zip"), scratch.path("out"), "", &log), int(cfr::Ok));
        QVERIFY(!QFileInfo::exists(scratch.path("out")));
        QVERIFY(log.fractions.empty());
    }

    void entriesThatClimbOutAreSkipped() {
        Scratch scratch;
        const QString archive = scratch.path("climb.zip");
        QVERIFY(writeCraftedZip(archive, {{"../up.txt", "up"},
                                          {scratch.path("abs.txt"), "abs"},
                                          {"a/../../b.txt", "b"},
                                          {"..\\win-up.txt", "up"},
                                          {"ok/./fine.txt", "fine"},
                                          {"win\\dir\\", ""},
                                          {"win\\f.txt", "w"}}));
        ProgressLog log;
        QCOMPARE(extract(archive, scratch.path("box/out"), "", &log), int(cfr::Ok));
        // The skipped entries' bytes never come out, yet the job is done.
        QCOMPARE(log.fractions.back(), 1.0);
        QCOMPARE(testing::treeListing(scratch.path("box")),
                 QStringList({"out/", "out/ok/", "out/ok/fine.txt", "out/win/", "out/win/dir/",
                              "out/win/f.txt"}));
        for (const char* outside : {"abs.txt", "up.txt", "b.txt", "win-up.txt"})
            QVERIFY2(!QFileInfo::exists(scratch.path(outside)), outside);
    }

    // A damaged AES entry fails its authentication whether 7-Zip stored or deflated it.
    void sevenZipAesEntriesAreAuthenticated_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("stored") << testing::noiseBytes(200000);
        QTest::newRow("deflated") << QByteArray("compressible line\n").repeated(20000);
    }

    void sevenZipAesEntriesAreAuthenticated() {
        QFETCH(QByteArray, content);
        Scratch scratch;
        testing::writeFile(scratch.path("in/data.bin"), content);
        const QString archive = scratch.path("aes.zip");
        QCOMPARE(testing::runTool("7z", {"a", "-tzip", "-mem=AES256", "-ppw", archive, "data.bin"},
                                  scratch.path("in"))
                     .exitCode,
                 0);
        QByteArray bytes = testing::readFile(archive);
        const int middle = bytes.indexOf("data.bin") + 150;
        bytes[middle] = char(bytes[middle] ^ 0x01);
        QVERIFY(testing::writeFile(archive, bytes));
        QCOMPARE(extract(archive, scratch.path("out"), "pw"), int(cfr::BadPassword));
        QVERIFY(!QFileInfo::exists(scratch.path("out/data.bin")));
    }
};

QTEST_GUILESS_MAIN(ZipTest)
#include "tst_zip.moc"
