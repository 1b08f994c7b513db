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
    void entriesCarryOnlyNameTypeAndFixedPermissions() {
        QTemporaryDir tmp;
        const QString photos = tmp.path() + "/photos";
        QDir().mkpath(photos + "/empty");
        QVERIFY(writeFile(photos + "/shot.jpg", "jpeg"));
        QFile(photos + "/shot.jpg").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QString archive = tmp.path() + "/out.tar";
        QCOMPARE(packPaths({photos}, archive), int(cfr::Ok));
        QStringList entries = listEntries(archive);
        entries.sort();
        QCOMPARE(entries, (QStringList{"photos/ 40755 0", "photos/empty/ 40755 0",
                                       "photos/shot.jpg 100644 0"}));
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

    void cancellingRemovesThePartialArchive_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("tar.gz") << ".tar.gz";
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
};

QTEST_GUILESS_MAIN(TarPackTest)
#include "tst_tar_pack.moc"
