// Zips and .cfr packages written by us, checked with unzip and 7z; zips of other tools and
// makers (legacy code pages, methods libzip lacks, self-extractor stubs, odd flags) read by us.
// Damaged, renamed and wrongly unlocked ones are rows of the hostile-archive tables.
#include "cfr.h"
#include "core_test_util.h"
#include "test_support.h"
#include "zip/zip_backend.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace coretest;
using testing::runTool;

namespace {

const QString kSevenZipArgs = QStringLiteral("7z ");
const QString kStub = QStringLiteral("stub ");

// Writes the archive: through 7z or Info-ZIP's zip when recipe starts with "7z " or "zip "
// (their options follow), else through craft_zip.py, whose entry(...) calls keep raw names and
// flags as given ("stub " first puts a self-extractor's stub before them).
bool makeArchive(const Scratch& scratch, const QString& recipe, const QString& out) {
    testing::writeFile(scratch.path("in/h.txt"), "hello");
    testing::writeFile(scratch.path("in/song.bin"), testing::noiseBytes(70000));
    const QString tool = recipe.section(' ', 0, 0);
    if (tool == "7z" || tool == "zip") {
        QStringList args = tool == "7z" ? QStringList{"a", "-tzip"} : QStringList{"-q"};
        args << recipe.section(' ', 1).split(' ', Qt::SkipEmptyParts) << out << "h.txt"
             << "song.bin";
        return runTool(tool, args, scratch.path("in")).exitCode == 0;
    }
    const bool stub = recipe.startsWith(kStub);
    QStringList args{COFFRET_SOURCE_DIR "/tests/core/zip/craft_zip.py", out,
                     stub ? recipe.mid(kStub.size()) : recipe};
    if (stub)
        args << QString(5000, 'M');
    return testing::runTool("python3", args).exitCode == 0;
}

} // namespace

class ZipTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); } // unzip and 7z print names in it
    void cleanup() { cfr::setNameLanguage(nullptr); }

    void packedZipReadByOthers_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QString();
        QTest::newRow("aes") << QStringLiteral("s3cret pass");
        // The 7z plugin takes ASCII passwords only; libzip writes and reads these.
        QTest::newRow("aes, not ASCII") << QString::fromUtf8("clé secrète");
    }

    void packedZipReadByOthers() {
        QFETCH(QString, password);
        Scratch scratch;
        const QString dest = scratch.path("result.zip");
        ProgressLog log;
        QCOMPARE(packPaths(makeSampleTree(scratch.path("in")), dest, password, &log), int(cfr::Ok));
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.last(), 1.0);
        // The sample's six files are encrypted with AES-256; folders carry nothing to hide.
        const auto listing = runTool("7z", {"l", "-slt", "-p" + password, dest}).out;
        QCOMPARE(listing.count("Method = AES-256"), password.isEmpty() ? 0 : 6);
        const QString check = scratch.path("check");
        if (password.isEmpty()) {
            QCOMPARE(runTool("unzip", {"-q", dest, "-d", check}).exitCode, 0);
        } else if (password.toLatin1() != password.toUtf8()) {
            QCOMPARE(extractTo(dest, scratch.path("wrong"), password.toUpper()),
                     int(cfr::BadPassword));
            QCOMPARE(extractTo(dest, check, password), int(cfr::Ok));
        } else {
            QVERIFY(runTool("7z", {"t", "-pnot it", dest}).exitCode != 0);
            QCOMPARE(runTool("7z", {"x", "-p" + password, "-o" + check, dest}).exitCode, 0);
        }
        QCOMPARE(treeDifference(scratch.path("in"), check), QString());
    }

    // A link back up must not loop for ever; the archive being replaced is not packed.
    void linkLoopsAndTheArchiveItselfAreLeftOut() {
        Scratch scratch;
        QVERIFY(testing::writeFile(scratch.path("docs/x.txt"), "x"));
        QVERIFY(QFile::link(scratch.path("docs"), scratch.path("docs/back")));
        const QString dest = scratch.path("docs/docs.zip");
        QVERIFY(testing::writeFile(dest, "an earlier archive"));
        // No sink at all: the backends are also called without one.
        QCOMPARE(
            cfr::zipPack({scratch.path("docs").toStdString()}, dest.toStdString(), "", nullptr),
            int(cfr::Ok));
        QCOMPARE(unzipNames(dest), QStringList({"docs/back/", "docs/x.txt"}));
    }

    void entriesThatClimbOutAreSkipped() {
        Scratch scratch;
        const QString archive = scratch.path("climb.zip");
        QVERIFY(
            makeArchive(scratch,
                        R"(entry("../up.txt"), entry("a/../../b.txt"), entry("..\\win-up.txt"),)"
                        R"(entry("ok/./fine.txt"), entry("win\\dir\\", b""), entry("win\\f.txt"),)"
                        "entry(\"" +
                            scratch.path("abs.txt") + "\")",
                        archive));
        ProgressLog log;
        QCOMPARE(extractTo(archive, scratch.path("box/out"), "", &log), int(cfr::Ok));
        // The skipped entries' bytes never come out, yet the job is done.
        QCOMPARE(log.last(), 1.0);
        QCOMPARE(testing::treeListing(scratch.path("box")),
                 QStringList({"out/", "out/ok/", "out/ok/fine.txt", "out/win/", "out/win/dir/",
                              "out/win/f.txt"}));
        for (const char* outside : {"abs.txt", "up.txt", "b.txt", "win-up.txt"})
            QVERIFY2(!QFileInfo::exists(scratch.path(outside)), outside);
    }

    void layoutSeenByOtherTools() {
        Scratch scratch;
        const QString dest = scratch.path("box.cfr");
        QCOMPARE(packPaths(makeSampleTree(scratch.path("in")), dest, "pa$$ word"), int(cfr::Ok));
        QCOMPARE(scratch.leftovers(), QStringList());

        const QString text =
            QString::fromUtf8(runTool("7z", {"l", "-slt", "-ppa$$ word", dest}).out);
        QVERIFY(text.contains("Encrypted = +") && text.contains("Method = AES-256"));
        QCOMPARE(runTool("7z", {"x", "-ppa$$ word", "-o" + scratch.path("outer"), dest}).exitCode,
                 0);
        // One inner zip named by 16 hex digits, itself not encrypted.
        const QStringList names = QDir(scratch.path("outer")).entryList(QDir::Files);
        QCOMPARE(names.size(), 1);
        QVERIFY2(QRegularExpression("^[0-9a-f]{16}\\.zip$").match(names.first()).hasMatch(),
                 qPrintable(names.first()));
        const QString inner = scratch.path("outer/" + names.first());
        QVERIFY(!runTool("7z", {"l", "-slt", inner}).out.contains("Encrypted = +"));
        QCOMPARE(runTool("unzip", {"-q", inner, "-d", scratch.path("check")}).exitCode, 0);
        QCOMPARE(treeDifference(scratch.path("in"), scratch.path("check")), QString());
    }

    // The inner archive holds no byte of data: its pass has nothing to count, yet ends.
    void emptyFilesStillEndAtOne() {
        Scratch scratch;
        testing::writeFile(scratch.path("in/empty.txt"), QByteArray());
        QDir().mkpath(scratch.path("in/folder"));
        ProgressLog packed, unpacked;
        QCOMPARE(packPaths({scratch.path("in/empty.txt"), scratch.path("in/folder")},
                           scratch.path("box.cfr"), "pw", &packed),
                 int(cfr::Ok));
        QCOMPARE(packed.last(), 1.0);
        QCOMPARE(extractTo(scratch.path("box.cfr"), scratch.path("out"), "pw", &unpacked),
                 int(cfr::Ok));
        QCOMPARE(treeDifference(scratch.path("in"), scratch.path("out")), QString());
        QVERIFY(unpacked.nonDecreasing());
        QVERIFY(unpacked.fractions.front() <= 0.5); // the outer pass is the first half
        QCOMPARE(unpacked.last(), 1.0);
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void temporaryFolderPackedIntoItself() {
        Scratch scratch;
        testing::writeFile(scratch.tmp() + "/keep.txt", "kept");
        QCOMPARE(packPaths({scratch.tmp()}, scratch.path("tmp.cfr"), "pw"), int(cfr::Ok));
        QCOMPARE(extractTo(scratch.path("tmp.cfr"), scratch.path("out"), "pw"), int(cfr::Ok));
        QCOMPARE(testing::treeListing(scratch.path("out")), QStringList({"tmp/", "tmp/keep.txt"}));
        QCOMPARE(scratch.leftovers(), QStringList({"keep.txt"}));
    }

    // What a package's destination and password make of it; failures of either pass leave
    // no temporaries.
    void packageDestinationsAndFailures() {
        Scratch scratch;
        const QStringList inputs = makeSampleTree(scratch.path("in"));
        // libzip would take the empty password and fail only at close.
        QCOMPARE(packPaths(inputs, scratch.path("box.cfr"), ""), int(cfr::InvalidArgument));
        QVERIFY(!QFileInfo::exists(scratch.path("box.cfr")));
        // Without a suffix and without a password: a plain zip, which reads back as such.
        QCOMPARE(packPaths(inputs, scratch.path("box.data"), ""), int(cfr::Ok));
        QVERIFY(unzipNames(scratch.path("box.data")).contains("top file.txt"));
        QCOMPARE(extractTo(scratch.path("box.data"), scratch.path("out"), ""), int(cfr::Ok));
        QCOMPARE(treeDifference(scratch.path("in"), scratch.path("out")), QString());
        // With a password it stays a package.
        const QString locked = scratch.path("locked.data");
        QCOMPARE(packPaths(inputs, locked, "pw"), int(cfr::Ok));
        QCOMPARE(unzipNames(locked).size(), 1);
        QVERIFY(cfr::archiveNeedsPassword(locked.toUtf8().constData()));

        testing::writeFile(scratch.path("plainfile"), "in the way");
        // An input that cannot be read fails the first pass.
        QCOMPARE(
            packPaths(inputs + QStringList{scratch.path("in/gone")}, scratch.path("a.cfr"), "pw"),
            int(cfr::Failed));
        // A destination that cannot be created fails the second pass.
        QCOMPARE(packPaths(inputs, scratch.path("plainfile/b.cfr"), "pw"), int(cfr::OpenFailed));
        // Unpacking into a place that cannot hold files fails after the first pass.
        QCOMPARE(extractTo(locked, scratch.path("plainfile/out"), "pw"), int(cfr::Failed));
        // Something that is no zip at all.
        QCOMPARE(extractTo(scratch.path("plainfile"), scratch.path("none"), "pw"),
                 int(cfr::OpenFailed));
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void archivesOfOtherMakers_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("recipe");
        QTest::addColumn<QStringList>("listing");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reason");
        const auto row = [](const char* name, const char* language, const QString& recipe,
                            const QStringList& listing, const char* password = "",
                            int result = cfr::Ok, int reason = cfr::NoReason) {
            QTest::newRow(name) << language << recipe << listing << password << result << reason;
        };
        row("GBK name, Chinese user", "zh_CN.UTF-8", R"(entry("中文/文件.txt".encode("gbk")))",
            {"中文/", "中文/文件.txt"});
        // 0x5C, a slash on Windows, is the second byte of both characters in CP932.
        row("CP932 name, Japanese user", "ja_JP", R"(entry("ソ表/a.txt".encode("cp932")))",
            {"ソ表/", "ソ表/a.txt"});
        row("CP437 for anyone else, from the environment", nullptr,
            R"(entry("Müller.txt".encode("cp437")))", {"Müller.txt"});
        row("UTF-8 name without the flag", "zh_CN", R"(entry("Müller.txt"))", {"Müller.txt"});
        row("Unicode path field", "", R"(entry("a.txt", unicode="新.txt"))", {"新.txt"});
        row("stale Unicode path field", "", R"(entry("a.txt", unicode="新.txt", stale=True))",
            {"a.txt"});
        row("MS-DOS folder without a slash", "", R"(entry("dir", b"", attr=0x10), entry("dir/f"))",
            {"dir/", "dir/f"});
        // Info-ZIP's unzip lists it; libzip refuses the whole archive. 0xFF is a no-break
        // space in CP437.
        row("flagged UTF-8, is not", "",
            R"(entry(b"bad\xff.txt", flags=0x800), entry("ok.txt", flags=0x800))",
            {"bad\u00a0.txt", "ok.txt"});
        for (const char* name : {"strong encryption", "strong encryption, libzip"})
            row(name, "",
                R"(entry("s.txt", bytes(40), flags=0x41, method="stored"), entry("p.txt"))",
                {"p.txt"}, "", cfr::Unsupported, cfr::MethodUnsupported);
        const QStringList made{"h.txt", "song.bin"};
        row("self-extractor stub", "", kStub + "entry('h.txt'), entry('song.bin')", made);
        row("zip64 records", "", "zip -fz", made);
        row("LZMA, which libzip lacks", "", kSevenZipArgs + "-mm=LZMA", made);
        const QString aesLzma = kSevenZipArgs + "-mm=LZMA -mem=AES256 -ppw";
        row("LZMA in WinZip AES", "", aesLzma, made, "pw");
        row("LZMA in WinZip AES, wrong password", "", aesLzma, {}, "pv", cfr::BadPassword);
        // 7-Zip refuses non-ASCII passwords for zip.
        row("7z AES-256", "", kSevenZipArgs + "-mem=AES256 -ppa$$word", made, "pa$$word");
        // Without the plugin libzip reads them, and fails 7-Zip's zero CRCs (AE-2) of entries
        // of 20 bytes or more; the authentication code decides instead.
        row("7z AES-128, libzip", "", kSevenZipArgs + "-mem=AES128 -ppw", made, "pw");
        // h.txt proves the password: the damage is not put down to it, as on the plugin's road.
        row("7z AES-192 stored, damaged, libzip", "", kSevenZipArgs + "-mm=Copy -mem=AES192 -ppw",
            {"h.txt"}, "pw", cfr::Failed);
        row("ZipCrypto", "", "zip -P pw", made, "pw");
        row("ZipCrypto, wrong password", "", "zip -P pw", {}, "wrong", cfr::BadPassword);
    }

    void archivesOfOtherMakers() {
        QFETCH(QString, language);
        QFETCH(QString, recipe);
        QFETCH(QStringList, listing);
        QFETCH(QString, password);
        QFETCH(int, result);
        QFETCH(int, reason);
        const Scratch scratch;
        const QString archive = scratch.path("made.zip");
        QVERIFY(makeArchive(scratch, recipe, archive));
        const QString tag = QTest::currentDataTag();
        if (tag.contains("damaged")) { // inside song.bin, whatever the order
            QByteArray bytes = testing::readFile(archive);
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 1);
            QVERIFY(testing::writeFile(archive, bytes));
        }
        cfr::setNameLanguage(language.isNull() ? nullptr : language.toUtf8().constData());

        QCOMPARE(cfr::archiveSupported(archive.toUtf8().constData()), 1);
        ProgressLog log;
        const cfr::ProgressSink sink{ProgressLog::record, &log, ProgressLog::cancel};
        QCOMPARE(tag.endsWith("libzip")
                     ? cfr::zipExtract(QFile::encodeName(archive).toStdString(),
                                       QFile::encodeName(scratch.path("out")).toStdString(),
                                       password.toStdString(), &sink, 0, 1)
                     : extractTo(archive, scratch.path("out"), password, &log),
                 result);
        QCOMPARE(cfr::failureReason(), reason);
        QCOMPARE(testing::treeListing(scratch.path("out")), listing);
        if (result != cfr::Ok)
            return;
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.last(), 1.0);
        if (recipe.contains("entry(")) // 7z reads odd names its own way
            return;
        const auto peer =
            testing::runTool("7z", {"x", "-p" + password, "-o" + scratch.path("peer"), archive});
        QCOMPARE(peer.exitCode, 0);
        QCOMPARE(coretest::treeDifference(scratch.path("peer"), scratch.path("out")), QString());
    }
};

QTEST_GUILESS_MAIN(ZipTest)
#include "tst_zip.moc"
