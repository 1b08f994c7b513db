// Zips as other people's tools write them: names in legacy code pages, methods libzip lacks,
// self-extractor stubs, odd flags. Method rows are checked against what 7z itself extracts.
#include "cfr.h"
#include "test_support.h"
#include "zip_test_support.h"

#include <QtTest>

using namespace ziptest;

namespace {

const QString kSevenZipArgs = QStringLiteral("7z ");

// Writes the archive: through 7z when recipe starts with "7z " (its options follow), else
// through craft_zip.py, whose entry(...) calls keep raw names and flags as given.
bool makeArchive(const Scratch& scratch, const QString& recipe, bool stub, const QString& out) {
    testing::writeFile(scratch.path("in/h.txt"), "hello");
    testing::writeFile(scratch.path("in/song.bin"), testing::noiseBytes(70000));
    if (recipe.startsWith(kSevenZipArgs)) {
        QStringList args{"a", "-tzip"};
        args << recipe.mid(kSevenZipArgs.size()).split(' ') << out << "h.txt"
             << "song.bin";
        return testing::runTool("7z", args, scratch.path("in")).exitCode == 0;
    }
    QStringList args{COFFRET_SOURCE_DIR "/tests/core/zip/craft_zip.py", out, recipe};
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
        QTest::addColumn<bool>("stub");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QStringList>("listing");
        const QStringList made{"h.txt", "song.bin"};
        QTest::newRow("GBK name, Chinese user")
            << "zh_CN.UTF-8"
            << R"(entry("中文/文件.txt".encode("gbk")))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"中文/", "中文/文件.txt"};
        // 0x5C, a slash on Windows, is the second byte of both characters in CP932.
        QTest::newRow("CP932 name, Japanese user")
            << "ja_JP"
            << R"(entry("ソ表/a.txt".encode("cp932")))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"ソ表/", "ソ表/a.txt"};
        QTest::newRow("CP866 name, Russian user")
            << "ru_RU.UTF-8"
            << R"(entry("Отчёт.txt".encode("cp866")))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"Отчёт.txt"};
        QTest::newRow("CP437 for anyone else")
            << "de_DE"
            << R"(entry("Müller.txt".encode("cp437")))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"Müller.txt"};
        QTest::newRow("UTF-8 name without the flag")
            << "zh_CN"
            << R"(entry("Müller.txt"))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"Müller.txt"};
        QTest::newRow("Unicode path field") << ""
                                            << R"(entry("a.txt", unicode="新.txt"))" << false << ""
                                            << int(cfr::Ok) << 0 << QStringList{"新.txt"};
        QTest::newRow("stale Unicode path field")
            << ""
            << R"(entry("a.txt", unicode="新.txt", stale=True))" << false << "" << int(cfr::Ok) << 0
            << QStringList{"a.txt"};
        QTest::newRow("MS-DOS folder without a slash")
            << ""
            << R"(entry("dir", b"", attr=0x10), entry("dir/f.txt"))" << false << "" << int(cfr::Ok)
            << 0 << QStringList{"dir/", "dir/f.txt"};
        // Info-ZIP's unzip lists it; libzip refuses the whole archive. 0xFF is a no-break
        // space in CP437.
        QTest::newRow("flagged UTF-8, is not")
            << ""
            << R"(entry(b"bad\xff.txt", flags=0x800), entry("ok.txt", flags=0x800))" << false << ""
            << int(cfr::Ok) << 0 << QStringList{"bad\u00a0.txt", "ok.txt"};
        QTest::newRow("strong encryption")
            << ""
            << R"(entry("s.txt", bytes(40), flags=0x41, method="stored"), entry("p.txt"))" << false
            << "" << int(cfr::Unsupported) << int(cfr::MethodUnsupported) << QStringList{"p.txt"};
        QTest::newRow("self-extractor stub")
            << ""
            << "entry('h.txt'), entry('song.bin')" << true << "" << int(cfr::Ok) << 0 << made;
        for (const char* method : {"PPMd", "LZMA", "xz"})
            QTest::newRow(method) << "" << kSevenZipArgs + "-mm=" + method << false << ""
                                  << int(cfr::Ok) << 0 << made;
        QTest::newRow("LZMA in WinZip AES") << "" << kSevenZipArgs + "-mm=LZMA -mem=AES256 -ppw"
                                            << false << "pw" << int(cfr::Ok) << 0 << made;
        QTest::newRow("LZMA in WinZip AES, wrong password")
            << "" << kSevenZipArgs + "-mm=LZMA -mem=AES256 -ppw" << false << "pv"
            << int(cfr::BadPassword) << 0 << QStringList{};
    }

    void archivesOfOtherMakers() {
        QFETCH(QString, language);
        QFETCH(QString, recipe);
        QFETCH(bool, stub);
        QFETCH(QString, password);
        QFETCH(int, result);
        QFETCH(int, reason);
        QFETCH(QStringList, listing);
        const Scratch scratch;
        const QString archive = scratch.path("made.zip");
        QVERIFY(makeArchive(scratch, recipe, stub, archive));
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
