// The reader: where entries land, what they are named, links, progress, failures, RAR.
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
                                     file("a/../../b", "x"),   file("..\\up.txt", "x"),
                                     file(".", "x"),           file("ok.txt", "fine")}
            << QStringList{"ok.txt"};
        QTest::newRow("names are made normal")
            << std::vector<RawEntry>{file("./x/y", "1"), file("p//q/./r", "2"),
                                     file("m/n/../o", "3")}
            << QStringList{"m/", "m/o", "p/", "p/q/", "p/q/r", "x/", "x/y"};
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
        const QRegularExpression inside("^(hostile\\.tar|deep/|deep/dest/.*)$");
        for (const QString& name : treeListing(tmp.path()))
            QVERIFY2(inside.match(name).hasMatch(), qPrintable(name));
    }

    // A stream without a name inside, and a tar entry named "data", take the archive's name.
    void namelessEntriesTakeTheArchiveName() {
        QTemporaryDir tmp;
        QVERIFY(testing::writeFile(tmp.path() + "/plain", "stream body\n"));
        const QString stream = tmp.path() + "/.gz";
        QCOMPARE(
            testing::runTool("sh", {"-c", "gzip -c \"$0\" > \"$1\"", tmp.path() + "/plain", stream})
                .exitCode,
            0);
        QCOMPARE(extractTo(stream, tmp.path() + "/s"), int(cfr::Ok));
        QCOMPARE(readFile(tmp.path() + "/s/data"), QByteArray("stream body\n"));
        const QString archive = tmp.path() + "/bundle.tar";
        QVERIFY(writeTar(archive, {file("data", "payload"), file("other", "o")}));
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(treeListing(tmp.path() + "/out"), (QStringList{"bundle", "other"}));
    }

    void linksFromTargetsOfThisJobOnly() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/links.tar";
        QVERIFY(writeTar(
            archive,
            {file("target.txt", "shared bytes"), link("dir/link.txt", "target.txt", true),
             link("early.txt", "later.txt", true), file("later.txt", "later"),
             link("out.txt", "../etc/passwd", true), link("chain.txt", "dir/link.txt", true),
             link("s.txt", "target.txt", false), link("abs", "/etc/passwd", false)}));
        const QString out = tmp.path() + "/out";
        QCOMPARE(extractTo(archive, out), int(cfr::Ok));
        QCOMPARE(readFile(out + "/chain.txt"), QByteArray("shared bytes"));
        QCOMPARE(inodeOf(out + "/dir/link.txt"), inodeOf(out + "/target.txt"));
        // Targets not (yet) extracted by this job and symbolic links leave empty files.
        for (const QString name : {"early.txt", "out.txt", "s.txt", "abs"}) {
            const QFileInfo info(out + '/' + name);
            QVERIFY2(info.isFile() && !info.isSymLink() && info.size() == 0, qPrintable(name));
        }
    }

    void hardLinksMadeByGnuTar() {
        QTemporaryDir tmp;
        const QString src = tmp.path() + "/src";
        QVERIFY(testing::writeFile(src + "/a.txt", "linked content"));
        QCOMPARE(::link(QFile::encodeName(src + "/a.txt").constData(),
                        QFile::encodeName(src + "/b.txt").constData()),
                 0);
        const QString archive = tmp.path() + "/gnu.tar";
        QCOMPARE(testing::runTool("tar", {"-cf", archive, "-C", src, "a.txt", "b.txt"}).exitCode,
                 0);
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(treeDifference(src, tmp.path() + "/out"), QString());
    }

    void progressAndCancel() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/p.tar.gz";
        std::vector<RawEntry> entries{file("four.bin", testing::noiseBytes(4 * 1024 * 1024, 9)),
                                      folder("folder/")};
        for (int i = 0; i < 4; ++i)
            entries.push_back(file("f" + QByteArray::number(i), QByteArray(4 << 20, 'z')));
        QVERIFY(writeTar(archive, entries, "gzip"));
        ProgressLog log;
        QCOMPARE(extractTo(archive, tmp.path() + "/out", QString(), &log), int(cfr::Ok));
        // One report per file (none for the folder), halfway after 4 MiB, then the final one.
        QCOMPARE(log.fractions,
                 (std::vector<double>{4.0 / 8, 8.0 / 12, 12.0 / 16, 16.0 / 20, 20.0 / 24, 1.0}));
        ProgressLog stopped;
        stopped.cancelAfter = 3;
        QCOMPARE(extractTo(archive, tmp.path() + "/c", QString(), &stopped), int(cfr::Cancelled));
        QCOMPARE(treeListing(tmp.path() + "/c"), (QStringList{"f0", "f1", "folder/", "four.bin"}));
    }

    void filesOrFoldersThatCannotBeCreatedFail() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/a.tar";
        QVERIFY(writeTar(archive, {file("block", "a file"), file("block/inner.txt", "x")}));
        QCOMPARE(extractTo(archive, tmp.path() + "/out"), int(cfr::Failed));
        QVERIFY(testing::writeFile(tmp.path() + "/occupied", "a file"));
        QCOMPARE(extractTo(archive, tmp.path() + "/occupied/dest"), int(cfr::Failed));
    }

    void rarSamplesExtract_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QStringList>("expected"); // name:size, or name/ for a folder
        QTest::newRow("rar4") << "rar.rar"
                              << QStringList{"test.txt:20", "testdir/", "testdir/test.txt:20",
                                             "testemptydir/", "testlink:0"};
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
};

QTEST_GUILESS_MAIN(TarExtractTest)
#include "tst_tar_extract.moc"
