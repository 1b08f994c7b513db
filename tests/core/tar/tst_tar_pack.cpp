// The writer: entries and their attributes, input naming, links, progress, failures.
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace tartest;
using testing::readFile;
using testing::runTool;
using testing::writeFile;

namespace {
// Large blocks are mapped apart from the heap proper.
std::size_t heapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
} // namespace

class TarPackTest : public QObject {
    Q_OBJECT

private slots:
    void entriesCarryOnlyNameTypeAndFixedPermissions_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("tar") << ".tar";
        QTest::newRow("tar.xz") << ".tar.xz";
        QTest::newRow("7z") << ".7z";
    }

    void entriesCarryOnlyNameTypeAndFixedPermissions() {
        QFETCH(QString, suffix);
        QTemporaryDir tmp;
        const QString photos = tmp.path() + "/photos";
        QDir().mkpath(photos + "/empty");
        QVERIFY(writeFile(photos + "/shot.jpg", "jpeg"));
        QFile(photos + "/shot.jpg").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QString archive = tmp.path() + "/out" + suffix;
        QCOMPARE(packPaths({photos}, archive), int(cfr::Ok));
        QStringList entries = listEntries(archive);
        entries.sort();
        QCOMPARE(entries, (QStringList{"photos/ 40755 0", "photos/empty/ 40755 0",
                                       "photos/shot.jpg 100644 0"}));
    }

    void inputsOfTheSameNameAllReachTheArchive() {
        QTemporaryDir tmp;
        QStringList inputs;
        for (const QString folder : {"a", "b", "c"}) {
            QVERIFY(writeFile(tmp.path() + '/' + folder + "/notes.txt", folder.toUtf8()));
            inputs << tmp.path() + '/' + folder + "/notes.txt";
        }
        for (const QString folder : {"a", "b"}) {
            QVERIFY(writeFile(tmp.path() + '/' + folder + "/docs/in.txt", folder.toUtf8()));
            inputs << tmp.path() + '/' + folder + "/docs";
        }
        const QString archive = tmp.path() + "/all.tar.gz";
        QCOMPARE(packPaths(inputs, archive), int(cfr::Ok));
        const QString out = tmp.path() + "/out";
        QDir().mkpath(out);
        QCOMPARE(runTool("bsdtar", {"-xf", archive, "-C", out}).exitCode, 0);
        QCOMPARE(testing::treeListing(out),
                 (QStringList{"docs (1)/", "docs (1)/in.txt", "docs/", "docs/in.txt",
                              "notes (1).txt", "notes (2).txt", "notes.txt"}));
        QCOMPARE(readFile(out + "/notes (2).txt"), QByteArray("c"));
        QCOMPARE(readFile(out + "/docs (1)/in.txt"), QByteArray("b"));
    }

    void dotInputsAreNamedAfterTheirFolder() {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/project/sub/f.txt", "f"));
        const QString archive = tmp.path() + "/p.tar";
        QCOMPARE(
            packPaths({tmp.path() + "/project/sub/..", tmp.path() + "/project/sub/."}, archive),
            int(cfr::Ok));
        QStringList entries = listEntries(archive);
        entries.sort();
        QCOMPARE(entries,
                 (QStringList{"project/ 40755 0", "project/sub/ 40755 0",
                              "project/sub/f.txt 100644 0", "sub/ 40755 0", "sub/f.txt 100644 0"}));
    }

    void linksAreFollowed() {
        QTemporaryDir tmp;
        const QString root = tmp.path() + "/root";
        QVERIFY(writeFile(tmp.path() + "/elsewhere/data.txt", "real"));
        QDir().mkpath(root);
        QVERIFY(QFile::link(tmp.path() + "/elsewhere/data.txt", root + "/file-link"));
        QVERIFY(QFile::link(tmp.path() + "/elsewhere", root + "/dir-link"));
        QVERIFY(QFile::link(root, root + "/loop")); // must not recurse for ever
        const QString archive = tmp.path() + "/l.tar";
        QCOMPARE(packPaths({root}, archive), int(cfr::Ok));
        const QString out = tmp.path() + "/out";
        QCOMPARE(cfr::extract(archive.toUtf8().constData(), out.toUtf8().constData(), nullptr,
                              nullptr, nullptr),
                 int(cfr::Ok));
        QCOMPARE(testing::treeListing(out),
                 (QStringList{"root/", "root/dir-link/", "root/dir-link/data.txt", "root/file-link",
                              "root/loop/"}));
        QCOMPARE(readFile(out + "/root/file-link"), QByteArray("real"));
    }

    // A pipe would block the job for ever; the archive itself would grow while read.
    void onlyFilesAndFoldersOtherThanTheArchiveAreStored() {
        QTemporaryDir tmp;
        const QString root = tmp.path() + "/root";
        QVERIFY(writeFile(root + "/kept.bin", testing::noiseBytes(256 * 1024)));
        QCOMPARE(::mkfifo((root + "/pipe").toUtf8().constData(), 0644), 0);
        const QString archive = root + "/self.tar";
        QCOMPARE(packPaths({root}, archive), int(cfr::Ok));
        QCOMPARE(listEntries(archive), (QStringList{"root/ 40755 0", "root/kept.bin 100644 0"}));
    }

    void progressGrowsBlockByBlockToOne() {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/in/one.bin", testing::noiseBytes(300 * 1024)));
        QVERIFY(writeFile(tmp.path() + "/in/two.bin", testing::noiseBytes(100 * 1024)));
        ProgressLog log;
        QCOMPARE(packPaths({tmp.path() + "/in"}, tmp.path() + "/p.tar.zst", QString(), &log),
                 int(cfr::Ok));
        // 64 KiB blocks: 5 for the first file, 2 for the second, then the close.
        QCOMPARE(int(log.fractions.size()), 8);
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.fractions.front(), 64.0 / 400.0);
        QCOMPARE(log.fractions.back(), 1.0);
    }

    void cancellingRemovesThePartialArchive_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("tar.gz") << ".tar.gz";
        QTest::newRow("7z") << ".7z";
        QTest::newRow("xz stream") << ".xz";
    }

    void cancellingRemovesThePartialArchive() {
        QFETCH(QString, suffix);
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/big.bin", testing::noiseBytes(1024 * 1024)));
        ProgressLog log;
        log.cancelAfter = 3;
        const QString archive = tmp.path() + "/c" + suffix;
        QCOMPARE(packPaths({tmp.path() + "/big.bin"}, archive, QString(), &log),
                 int(cfr::Cancelled));
        QCOMPARE(int(log.fractions.size()), 3);
        QVERIFY(!QFileInfo::exists(archive));
    }

    void unreadableInputsFailAndRemoveTheArchive_data() {
        QTest::addColumn<QString>("brokenInput"); // relative to the temporary folder
        QTest::newRow("dangling link at the top") << "dangling";
        QTest::newRow("dangling link inside a folder") << "folder";
        QTest::newRow("missing input") << "missing.txt";
    }

    void unreadableInputsFailAndRemoveTheArchive() {
        QFETCH(QString, brokenInput);
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/good.txt", "good"));
        QVERIFY(QFile::link(tmp.path() + "/nowhere", tmp.path() + "/dangling"));
        QVERIFY(writeFile(tmp.path() + "/folder/ok.txt", "ok"));
        QVERIFY(QFile::link(tmp.path() + "/nowhere", tmp.path() + "/folder/zz-dangling"));
        const QString archive = tmp.path() + "/f.tar";
        QCOMPARE(packPaths({tmp.path() + "/good.txt", tmp.path() + '/' + brokenInput}, archive),
                 int(cfr::Failed));
        QVERIFY(!QFileInfo::exists(archive));
    }

    // Stored as it was read, a file that shrinks meanwhile would come back padded with zeros.
    void aFileThatShrinksWhileReadFails() {
        QTemporaryDir tmp;
        const QString input = tmp.path() + "/shrinking.bin";
        QVERIFY(writeFile(input, testing::noiseBytes(1024 * 1024)));
        const QString archive = tmp.path() + "/s.tar";
        bool truncated = false;
        ProgressLog log;
        log.onReport = [&](double) {
            truncated = truncated || ::truncate(QFile::encodeName(input).constData(), 1000) == 0;
        };
        QCOMPARE(packPaths({input}, archive, QString(), &log), int(cfr::Failed));
        QVERIFY(truncated);
        QVERIFY(!QFileInfo::exists(archive));
    }

    // The xz coder alone holds close to 100 MB; a failed job must hand it back.
    void failedJobsReleaseTheirCoders() {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/good.txt", "good"));
        const QString archive = tmp.path() + "/f.tar.xz";
        const auto before = heapInUse();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(packPaths({tmp.path() + "/good.txt", tmp.path() + "/missing"}, archive),
                     int(cfr::Failed));
        const auto after = heapInUse();
        const auto grown = after - std::min(before, after);
        QVERIFY2(grown < 16u << 20, qPrintable(QString::number(grown)));
    }

    void singleStreamsTakeOneRegularFile_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("expected");
        QTest::newRow("folder") << "folder" << int(cfr::Unsupported);
        QTest::newRow("missing") << "missing" << int(cfr::Unsupported);
        QTest::newRow("link to a file") << "link" << int(cfr::Ok);
    }

    void singleStreamsTakeOneRegularFile() {
        QFETCH(QString, first);
        QFETCH(int, expected);
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/folder/x.txt", "x"));
        QVERIFY(writeFile(tmp.path() + "/real.txt", "real"));
        QVERIFY(QFile::link(tmp.path() + "/real.txt", tmp.path() + "/link"));
        const QString archive = tmp.path() + "/one.gz";
        QCOMPARE(packPaths({tmp.path() + '/' + first, tmp.path() + "/real.txt"}, archive),
                 expected);
        if (expected == cfr::Ok) {
            const auto run = runTool("gzip", {"-dc", archive});
            QCOMPARE(run.out, QByteArray("real"));
        }
    }

    void aDestinationThatCannotBeCreated() {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.path() + "/a.txt", "a"));
        QCOMPARE(packPaths({tmp.path() + "/a.txt"}, tmp.path() + "/no/such/folder/a.tar"),
                 int(cfr::OpenFailed));
    }
};

QTEST_GUILESS_MAIN(TarPackTest)
#include "tst_tar_pack.moc"
