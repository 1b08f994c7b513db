// Reading zips made by us and by other tools, with and without the right password.
#include "zip/zip_backend.h"

#include "test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace ziptest;

namespace {

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

class ZipExtractTest : public QObject {
    Q_OBJECT

private slots:
    void archivesOfOtherTools_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("Info-ZIP plain") << "zip"
                                        << ""
                                        << "" << int(cfr::Ok);
        QTest::newRow("Info-ZIP plain, password not needed") << "zip"
                                                             << ""
                                                             << "pw" << int(cfr::Ok);
        QTest::newRow("ZipCrypto") << "zip"
                                   << "pw"
                                   << "pw" << int(cfr::Ok);
        QTest::newRow("ZipCrypto, wrong") << "zip"
                                          << "pw"
                                          << "wrong" << int(cfr::BadPassword);
        QTest::newRow("ZipCrypto, none") << "zip"
                                         << "pw"
                                         << "" << int(cfr::BadPassword);
        // 7-Zip refuses non-ASCII passwords for zip.
        QTest::newRow("7z AES-256") << "7z"
                                    << "pa$$ word"
                                    << "pa$$ word" << int(cfr::Ok);
        QTest::newRow("7z AES-256, wrong") << "7z"
                                           << "pa$$ word"
                                           << "pa$$ w0rd" << int(cfr::BadPassword);
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

    void unreadableEntriesDoNotStopTheRest() {
        Scratch scratch;
        const QString archive = scratch.path("mixed.zip");
        QVERIFY(writeCraftedZip(
            archive, {{"secret.txt", "hidden", true}, {"open.txt", "visible", false}}, "pw"));
        QCOMPARE(extract(archive, scratch.path("out"), ""), int(cfr::BadPassword));
        QCOMPARE(testing::treeListing(scratch.path("out")), QStringList({"open.txt"}));
        QCOMPARE(testing::readFile(scratch.path("out/open.txt")), QByteArray("visible"));
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

    void damagedArchives_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("expected");
        QTest::newRow("truncated") << "truncate" << int(cfr::OpenFailed);
        QTest::newRow("not a zip") << "text" << int(cfr::OpenFailed);
        QTest::newRow("corrupt data") << "flip" << int(cfr::Failed);
        QTest::newRow("corrupt encrypted data") << "flip-encrypted" << int(cfr::BadPassword);
    }

    void damagedArchives() {
        QFETCH(QString, damage);
        QFETCH(int, expected);
        Scratch scratch;
        const QString archive = scratch.path("damaged.zip");
        const bool encrypted = damage == "flip-encrypted";
        QVERIFY(writeCraftedZip(archive, {{"noise.bin", testing::noiseBytes(200000), encrypted}},
                                encrypted ? "pw" : ""));
        QByteArray bytes = testing::readFile(archive);
        if (damage == "truncate")
            bytes.truncate(bytes.size() / 2);
        else if (damage == "text")
            bytes = "just some text, long enough to look like something\n";
        else
            bytes[100000] = char(bytes[100000] ^ 0x5a);
        QVERIFY(testing::writeFile(archive, bytes));
        QCOMPARE(extract(archive, scratch.path("out"), encrypted ? "pw" : ""), expected);
        QVERIFY(!QFileInfo::exists(scratch.path("out/noise.bin")));
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

    void unwritableDestinationFails() {
        Scratch scratch;
        const QString archive = zipWithTool(scratch, "zip", "");
        testing::writeFile(scratch.path("plainfile"), "in the way");
        // A folder cannot be made below a regular file, whoever runs the test.
        QCOMPARE(extract(archive, scratch.path("plainfile/out"), ""), int(cfr::Failed));
    }
};

QTEST_GUILESS_MAIN(ZipExtractTest)
#include "tst_zip_extract.moc"
