// Zips as other people's tools write them: names in legacy code pages, methods libzip lacks,
// self-extractor stubs, odd flags. Method rows are checked against what 7z itself extracts.
#include "cfr.h"
#include "test_support.h"
#include "zip_test_support.h"

#include <QtTest>

using namespace ziptest;

namespace {

const QString kSevenZipArgs = QStringLiteral("7z ");
const QString kStub = QStringLiteral("stub ");

// Writes the archive: through 7z when recipe starts with "7z " (its options follow), else
// through craft_zip.py, whose entry(...) calls keep raw names and flags as given ("stub "
// first puts a self-extractor's stub before them).
bool makeArchive(const Scratch& scratch, const QString& recipe, const QString& out) {
    testing::writeFile(scratch.path("in/h.txt"), "hello");
    testing::writeFile(scratch.path("in/song.bin"), testing::noiseBytes(70000));
    if (recipe.startsWith(kSevenZipArgs)) {
        QStringList args{"a", "-tzip"};
        args << recipe.mid(kSevenZipArgs.size()).split(' ') << out << "h.txt"
             << "song.bin";
        return testing::runTool("7z", args, scratch.path("in")).exitCode == 0;
    }
    const bool stub = recipe.startsWith(kStub);
    QStringList args{COFFRET_SOURCE_DIR "/tests/core/zip/craft_zip.py", out,
                     stub ? recipe.mid(kStub.size()) : recipe};
    if (stub)
        args << QString(5000, 'M');
    return testing::runTool("python3", args).exitCode == 0;
}

} // namespace

class ZipInteropTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { cfr::setNameLanguage(nullptr); }

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
        row("CP866 name, Russian user", "ru_RU.UTF-8", R"(entry("Отчёт.txt".encode("cp866")))",
            {"Отчёт.txt"});
        row("CP437 for anyone else", "de_DE", R"(entry("Müller.txt".encode("cp437")))",
            {"Müller.txt"});
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
        row("strong encryption", "",
            R"(entry("s.txt", bytes(40), flags=0x41, method="stored"), entry("p.txt"))", {"p.txt"},
            "", cfr::Unsupported, cfr::MethodUnsupported);
        const QStringList made{"h.txt", "song.bin"};
        row("self-extractor stub", "", kStub + "entry('h.txt'), entry('song.bin')", made);
        for (const char* method : {"PPMd", "LZMA", "xz"})
            row(method, "", kSevenZipArgs + "-mm=" + method, made);
        const QString aesLzma = kSevenZipArgs + "-mm=LZMA -mem=AES256 -ppw";
        row("LZMA in WinZip AES", "", aesLzma, made, "pw");
        row("LZMA in WinZip AES, wrong password", "", aesLzma, {}, "pv", cfr::BadPassword);
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
        cfr::setNameLanguage(language.toUtf8().constData());

        QCOMPARE(cfr::archiveSupported(archive.toUtf8().constData()), 1);
        QCOMPARE(tartest::extractTo(archive, scratch.path("out"), password), result);
        QCOMPARE(cfr::failureReason(), reason);
        QCOMPARE(testing::treeListing(scratch.path("out")), listing);
        if (!recipe.startsWith(kSevenZipArgs) || result != cfr::Ok)
            return;
        const auto peer =
            testing::runTool("7z", {"x", "-p" + password, "-o" + scratch.path("peer"), archive});
        QCOMPARE(peer.exitCode, 0);
        QCOMPARE(tartest::treeDifference(scratch.path("peer"), scratch.path("out")), QString());
    }
};

QTEST_GUILESS_MAIN(ZipInteropTest)
#include "tst_zip_interop.moc"
