// The reader: where entries land, what they are named, links, progress, failures, RAR.
#include "tar/tar_backend.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tartest;
using testing::readFile;
using testing::treeListing;

Q_DECLARE_METATYPE(std::vector<tartest::RawEntry>)

namespace {

RawEntry file(const QByteArray& name, const QByteArray& data) {
    RawEntry entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

RawEntry folder(const QByteArray& name) {
    RawEntry entry = file(name, {});
    entry.type = 0040000;
    return entry;
}

RawEntry link(const QByteArray& name, const QByteArray& target, bool hard) {
    RawEntry entry;
    entry.name = name;
    entry.type = hard ? 0100000 : 0120000;
    entry.linkName = target;
    entry.hardLink = hard;
    return entry;
}

ino_t inodeOf(const QString& path) {
    struct stat info;
    return ::stat(path.toUtf8().constData(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

class TarExtractTest : public QObject {
    Q_OBJECT

private slots:
    void entriesLandOnlyInsideTheDestination_data() {
        QTest::addColumn<std::vector<RawEntry>>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("climbing names are skipped")
            << std::vector<RawEntry>{file("../evil.txt", "x"), file("/abs.txt", "x"),
                                     file("a/../../b", "x"), file("ok.txt", "fine")}
            << QStringList{"ok.txt"};
        QTest::newRow("names are made normal")
            << std::vector<RawEntry>{file("./x/y", "1"), file("p//q/./r", "2"),
                                     file("m/n/../o", "3")}
            << QStringList{"m/", "m/o", "p/", "p/q/", "p/q/r", "x/", "x/y"};
        QTest::newRow("backslash climbing")
            << std::vector<RawEntry>{file("..\\up.txt", "x")} << QStringList{};
        QTest::newRow("dot alone")
            << std::vector<RawEntry>{file(".", "x"), file("./.", "y")} << QStringList{};
    }

    void entriesLandOnlyInsideTheDestination() {
        QFETCH(std::vector<RawEntry>, entries);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/hostile.tar";
        QVERIFY(writeTar(archive, entries));
        const QString dest = tmp.path() + "/deep/dest";
        QCOMPARE(extractTo(archive, dest), int(cfr::Ok));
        QCOMPARE(treeListing(dest), expected);
        // Nothing escaped next to or above the destination.
        const QRegularExpression inside("^(hostile\\.tar|deep/|deep/dest/.*)$");
        for (const QString& name : treeListing(tmp.path()))
            QVERIFY2(inside.match(name).hasMatch(), qPrintable(name));
    }

    void existingLinksInTheDestinationAreReplacedNotFollowed() {
        QTemporaryDir tmp;
        const QString outside = tmp.path() + "/outside.txt";
        QVERIFY(testing::writeFile(outside, "keep me"));
        const QString dest = tmp.path() + "/dest";
        QDir().mkpath(dest);
        QVERIFY(QFile::link(outside, dest + "/x.txt"));
        QVERIFY(QFile::link(outside, dest + "/h.txt") &&
                ::link(outside.toUtf8().constData(), (dest + "/hard.txt").toUtf8().constData()) ==
                    0);
        const QString archive = tmp.path() + "/a.tar";
        QVERIFY(writeTar(archive, {file("x.txt", "new"), file("hard.txt", "new too")}));
        QCOMPARE(extractTo(archive, dest), int(cfr::Ok));
        QCOMPARE(readFile(outside), QByteArray("keep me"));
        QVERIFY(!QFileInfo(dest + "/x.txt").isSymLink());
        QCOMPARE(readFile(dest + "/x.txt"), QByteArray("new"));
        QCOMPARE(readFile(dest + "/hard.txt"), QByteArray("new too"));
    }

    void namelessStreamsTakeTheArchiveName_data() {
        QTest::addColumn<QString>("archiveName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("README.gz") << "README.gz"
                                   << "README";
        QTest::newRow(".gz") << ".gz"
                             << "data";
    }

    void namelessStreamsTakeTheArchiveName() {
        QFETCH(QString, archiveName);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        QVERIFY(testing::writeFile(tmp.path() + "/plain", "stream body\n"));
        const QString archive = tmp.path() + '/' + archiveName;
        QCOMPARE(testing::runTool("sh",
                                  {"-c", "gzip -c \"$0\" > \"$1\"", tmp.path() + "/plain", archive})
                     .exitCode,
                 0);
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(treeListing(tmp.path() + "/out"), QStringList{expected});
        QCOMPARE(readFile(tmp.path() + "/out/" + expected), QByteArray("stream body\n"));
    }

    void anEntryNamedDataTakesTheArchiveName() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/bundle.tar";
        QVERIFY(writeTar(archive, {file("data", "payload"), file("other", "o")}));
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(treeListing(tmp.path() + "/out"), (QStringList{"bundle", "other"}));
        QCOMPARE(readFile(tmp.path() + "/out/bundle"), QByteArray("payload"));
    }

    void hardLinksAreRecreatedFromTargetsOfThisJob() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/links.tar";
        QVERIFY(writeTar(archive, {file("target.txt", "shared bytes"),
                                   link("dir/link.txt", "target.txt", true),
                                   link("early.txt", "later.txt", true), file("later.txt", "later"),
                                   link("out.txt", "../etc/passwd", true),
                                   link("chain.txt", "dir/link.txt", true)}));
        const QString out = tmp.path() + "/out";
        QCOMPARE(extractTo(archive, out), int(cfr::Ok));
        QCOMPARE(readFile(out + "/dir/link.txt"), QByteArray("shared bytes"));
        QCOMPARE(readFile(out + "/chain.txt"), QByteArray("shared bytes"));
        QCOMPARE(inodeOf(out + "/dir/link.txt"), inodeOf(out + "/target.txt"));
        // A target not (yet) extracted by this job leaves the entry as it is: empty.
        QCOMPARE(QFileInfo(out + "/early.txt").size(), 0);
        QCOMPARE(QFileInfo(out + "/out.txt").size(), 0);
    }

    void hardLinksMadeByGnuTar() {
        QTemporaryDir tmp;
        const QString src = tmp.path() + "/src";
        QVERIFY(testing::writeFile(src + "/a.txt", "linked content"));
        QCOMPARE(
            ::link((src + "/a.txt").toUtf8().constData(), (src + "/b.txt").toUtf8().constData()),
            0);
        const QString archive = tmp.path() + "/gnu.tar";
        QCOMPARE(testing::runTool("tar", {"-cf", archive, "-C", src, "a.txt", "b.txt"}).exitCode,
                 0);
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(treeDifference(src, tmp.path() + "/out"), QString());
    }

    void symbolicLinksBecomeRegularFiles() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/sym.tar";
        QVERIFY(writeTar(archive, {file("t.txt", "t"), link("s.txt", "t.txt", false),
                                   link("abs", "/etc/passwd", false)}));
        const QString out = tmp.path() + "/out";
        QCOMPARE(extractTo(archive, out), int(cfr::Ok));
        for (const QString name : {"s.txt", "abs"}) {
            const QFileInfo info(out + '/' + name);
            QVERIFY2(info.isFile() && !info.isSymLink() && info.size() == 0, qPrintable(name));
        }
    }

    void progressFollowsTheContract() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/p.tar.gz";
        std::vector<RawEntry> entries{file("four.bin", testing::noiseBytes(4 * 1024 * 1024, 9)),
                                      folder("folder/")};
        for (int i = 0; i < 20; ++i)
            entries.push_back(
                file("big" + QByteArray::number(i), QByteArray(2 * 1024 * 1024, 'z')));
        QVERIFY(writeTar(archive, entries, "gzip"));
        ProgressLog log;
        QCOMPARE(extractTo(archive, tmp.path() + "/out", QString(), &log), int(cfr::Ok));
        // One report per file (none for the folder), then the final one.
        QCOMPARE(int(log.fractions.size()), 22);
        QCOMPARE(log.fractions.front(), 0.5);
        for (std::size_t i = 1; i + 1 < log.fractions.size(); ++i) {
            QVERIFY(log.fractions[i] >= log.fractions[i - 1]);
            QVERIFY(log.fractions[i] <= 0.99);
        }
        QCOMPARE(log.fractions.back(), 1.0);
    }

    void cancellingStopsTheJob() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/c.tar";
        std::vector<RawEntry> entries;
        for (int i = 0; i < 10; ++i)
            entries.push_back(file("f" + QByteArray::number(i), "body"));
        QVERIFY(writeTar(archive, entries));
        ProgressLog log;
        log.cancelAfter = 3;
        QCOMPARE(extractTo(archive, tmp.path() + "/out", QString(), &log), int(cfr::Cancelled));
        QCOMPARE(int(log.fractions.size()), 3);
        QCOMPARE(treeListing(tmp.path() + "/out"), (QStringList{"f0", "f1", "f2"}));
    }

    void badArchivesEndInTheRightResult_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
        QTest::addColumn<int>("expected");
        QTemporaryDir tmp;
        const QString good = tmp.path() + "/good.tar.xz";
        writeTar(good, {file("x.bin", testing::noiseBytes(200000, 4))}, "xz");
        const QByteArray xz = readFile(good);
        QTest::newRow("missing") << "missing.tar" << QByteArray() << int(cfr::OpenFailed);
        QTest::newRow("truncated xz") << "t.tar.xz" << xz.left(xz.size() / 2) << int(cfr::Failed);
        // xz checks its data; libarchive does not check gzip's checksum, so a damaged
        // gzip stream may go unnoticed, as it does for bsdtar.
        QByteArray damaged = xz;
        for (int i = xz.size() / 2; i < xz.size() / 2 + 200; ++i)
            damaged[i] = char(~damaged[i]);
        QTest::newRow("damaged xz") << "d.tar.xz" << damaged << int(cfr::Failed);
        QTest::newRow("truncated rar")
            << "t.rar" << readFile(testing::testData("rar/rar.rar")).left(200) << int(cfr::Failed);
    }

    void badArchivesEndInTheRightResult() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, expected);
        QTemporaryDir tmp;
        const QString archive = tmp.path() + '/' + name;
        if (!bytes.isEmpty())
            QVERIFY(testing::writeFile(archive, bytes));
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), expected);
    }

    void filesOrFoldersThatCannotBeCreatedFail() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/a.tar";
        QVERIFY(writeTar(archive, {file("block", "a file"), file("block/inner.txt", "x")}));
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Failed));
        QVERIFY(writeTar(tmp.path() + "/folders.tar", {folder("only/")}));
        QVERIFY(testing::writeFile(tmp.path() + "/occupied", "a file"));
        QCOMPARE(extractTo(tmp.path() + "/folders.tar", tmp.path() + "/occupied/dest"),
                 int(cfr::Failed));
    }

    void nullArguments() {
        QCOMPARE(cfr::extract(nullptr, "x", nullptr, nullptr, nullptr), int(cfr::InvalidArgument));
        QCOMPARE(cfr::extract("a.tar", nullptr, nullptr, nullptr, nullptr),
                 int(cfr::InvalidArgument));
    }

    void rarSamplesExtract_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QStringList>("expected"); // name:size, or name/ for a folder
        QTest::newRow("rar4") << "rar.rar"
                              << QStringList{"test.txt:20", "testdir/", "testdir/test.txt:20",
                                             "testemptydir/", "testlink:0"};
        QTest::newRow("rar4 unicode")
            << "rar_unicode.rar"
            << QStringList{
                   QString::fromUtf8("abcdefghijklmnopqrsテスト.txt:16"),
                   QString::fromUtf8("表だよ/"),
                   QString::fromUtf8("表だよ/ファイル:0"),
                   QString::fromUtf8("表だよ/新しいフォルダ/"),
                   QString::fromUtf8("表だよ/新しいフォルダ/新規テキスト ドキュメント.txt:0"),
                   QString::fromUtf8("表だよ/漢字長いファイル名long-filename-in-漢字.txt:5")};
        QTest::newRow("rar5 stored") << "rar5_stored.rar" << QStringList{"helloworld.txt:29"};
        QTest::newRow("rar5 compressed") << "rar5_compressed.rar" << QStringList{"test.bin:1200"};
        QTest::newRow("rar5 multiple")
            << "rar5_multiple_files.rar"
            << QStringList{"test1.bin:4096", "test2.bin:4096", "test3.bin:4096", "test4.bin:4096"};
        QTest::newRow("rar5 symlinks")
            << "rar5_symlink.rar"
            << QStringList{"dir/", "dirlink:0", "file.txt:5", "symlink.txt:0"};
        QTest::newRow("rar5 hard link")
            << "rar5_hardlink.rar" << QStringList{"file.txt:5", "hardlink.txt:5"};
        QTest::newRow("rar5 unicode links") << "rar5_unicode.rar"
                                            << QStringList{QString::fromUtf8("Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ.txt:13"),
                                                           QString::fromUtf8("𝒮𝓎𝓂𝒷𝑜𝓁𝒾𝒸 𝐿𝒾𝓃𝓀.txt:0"),
                                                           QString::fromUtf8("👋🌎.txt:13")};
    }

    void rarSamplesExtract() {
        QFETCH(QString, sample);
        QFETCH(QStringList, expected);
        QTemporaryDir tmp;
        const QString out = tmp.path() + "/out";
        QCOMPARE(extractTo(testing::testData("rar/" + sample), out), int(cfr::Ok));
        QStringList got;
        for (const QString& name : treeListing(out)) {
            const QFileInfo info(out + '/' + name);
            QVERIFY2(!info.isSymLink(), qPrintable(name));
            got << (info.isDir() ? name : name + ':' + QString::number(info.size()));
        }
        QCOMPARE(got, expected);
    }

    void rarHardLinkKeepsItsContent() {
        QTemporaryDir tmp;
        QCOMPARE(extractTo(testing::testData("rar/rar5_hardlink.rar"), tmp.path()), int(cfr::Ok));
        QCOMPARE(readFile(tmp.path() + "/hardlink.txt"), readFile(tmp.path() + "/file.txt"));
    }
};

QTEST_GUILESS_MAIN(TarExtractTest)
#include "tst_tar_extract.moc"
