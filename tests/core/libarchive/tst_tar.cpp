// The tar family and RAR through libarchive. The writer: entries and their attributes, input
// naming, failures. The reader: links, progress, failures, RAR sets. Every kind both ways: what
// we write is read by GNU tar, the 7z tool and the compressors, what they write is extracted
// by us, all byte for byte.
#include "core_test_util.h"
#include "libarchive/tar_backend.h"
#include "rar/rar_volumes.h"
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

using namespace coretest;
using testing::readFile;
using testing::runTool;
using testing::treeListing;
using testing::writeFile;

namespace {

// Large blocks are mapped apart from the heap proper.
std::size_t heapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

ino_t inodeOf(const QString& path) {
    struct stat info;
    return ::stat(path.toUtf8().constData(), &info) == 0 ? info.st_ino : 0;
}

// 7z goes to the plugin when it is present; this backend is its fallback reader.
int extractHere(const QString& archive, const QString& dest) {
    const QByteArray path = archive.toUtf8();
    if (archive.endsWith(".7z"))
        return cfr::tarExtract(path.constData(), dest.toUtf8().constData(), "", nullptr);
    return cfr::extract(path.constData(), dest.toUtf8().constData(), nullptr, nullptr, nullptr);
}

QString shell(const QString& script, const QStringList& args) {
    const auto run = runTool("sh", QStringList{"-c", "export LC_ALL=C.UTF-8; " + script} + args);
    return run.exitCode == 0 ? QString() : QString::fromUtf8(run.out);
}

// song.bin split into a stored RAR 5 set beside it (no RAR writer is free to use).
bool makeSet(const QString& folder, const QByteArray& song, int parts, const QString& naming) {
    const QString source = folder + "/song.bin";
    return testing::writeFile(source, song) &&
           testing::runTool("python3", {COFFRET_SOURCE_DIR "/tests/core/rar/make_rar5_set.py",
                                        source, QString::number(parts), naming})
                   .exitCode == 0 &&
           QFile::remove(source);
}

} // namespace

class TarTest : public QObject {
    Q_OBJECT

private slots:
    // Entries carry only name, type and fixed permissions; "." and ".." inputs are named after
    // the folder they stand for. A pipe would block the job for ever; the archive itself would
    // grow while read.
    void entriesAndTheirNames() {
        QTemporaryDir tmp;
        const QString photos = tmp.path() + "/photos";
        QDir().mkpath(photos + "/empty");
        QVERIFY(writeFile(photos + "/shot.jpg", testing::noiseBytes(256 * 1024)));
        QFile(photos + "/shot.jpg").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QCOMPARE(::mkfifo((photos + "/pipe").toUtf8().constData(), 0644), 0);
        QVERIFY(writeFile(tmp.path() + "/project/sub/f.txt", "f"));
        const QString archive = photos + "/self.tar";
        QCOMPARE(packPaths({photos, tmp.path() + "/project/sub/..", tmp.path() + "/project/sub/."},
                           archive),
                 int(cfr::Ok));
        QStringList entries = listEntries(archive);
        entries.sort();
        QCOMPARE(entries, (QStringList{"photos/ 40755 0", "photos/empty/ 40755 0",
                                       "photos/shot.jpg 100644 0", "project/ 40755 0",
                                       "project/sub/ 40755 0", "project/sub/f.txt 100644 0",
                                       "sub/ 40755 0", "sub/f.txt 100644 0"}));
        // With nothing storable left, an empty archive must not take the old one's place.
        const QByteArray before = testing::readFile(archive);
        QCOMPARE(packPaths({archive, photos + "/pipe"}, archive), int(cfr::Failed));
        QCOMPARE(testing::readFile(archive), before);
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

    void linksFromTargetsOfThisJobOnly() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/links.tar";
        QVERIFY(writeTar(archive, {{"target.txt", "shared bytes"},
                                   link("dir/link.txt", "target.txt", true),
                                   link("early.txt", "later.txt", true),
                                   {"later.txt", "later"},
                                   link("out.txt", "../etc/passwd", true),
                                   link("chain.txt", "dir/link.txt", true),
                                   link("s.txt", "target.txt", false),
                                   link("abs", "/etc/passwd", false)}));
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

    void progressAndCancel() {
        QTemporaryDir tmp;
        const QString archive = tmp.path() + "/p.tar.gz";
        std::vector<RawEntry> entries{{"four.bin", testing::noiseBytes(4 * 1024 * 1024, 9)},
                                      {"folder/", {}, 0040000}};
        for (int i = 0; i < 4; ++i)
            entries.push_back({"f" + QByteArray::number(i), QByteArray(4 << 20, 'z')});
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
        // Where no folder can be made (under the archive file), the job fails before any entry.
        QCOMPARE(extractTo(archive, archive + "/out"), int(cfr::Failed));
    }

    // Ours read by GNU tar (the 7z tool for 7z), theirs made by it and extracted by us.
    void everyKindBothWays_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("unpack"); // run in an empty folder on "$0"
        QTest::addColumn<QString>("pack");   // run in the source folder, its inputs appended
        for (const QString row :
             {".tar|tar -xf|tar -cf", ".tar.gz|tar -xf|tar -czf", ".tar.bz2|tar -xf|tar -cjf",
              ".tar.xz|tar -xf|tar -cJf", ".tzst|tar -xf|tar --zstd -cf", ".7z|7z x -bd|7z a -bd"})
            QTest::newRow(qPrintable(row.section('|', 0, 0)))
                << row.section('|', 0, 0) << row.section('|', 1, 1) << row.section('|', 2);
    }

    void everyKindBothWays() {
        QFETCH(QString, suffix);
        QFETCH(QString, unpack);
        QFETCH(QString, pack);
        QTemporaryDir tmp;
        const QString source = tmp.path() + "/source", byPeer = tmp.path() + "/peer";
        const QString ours = tmp.path() + "/ours" + suffix,
                      theirs = tmp.path() + "/theirs" + suffix;
        QCOMPARE(packPaths(makeSampleTree(source), ours), int(cfr::Ok));
        QVERIFY(QDir().mkpath(byPeer));
        QCOMPARE(shell("cd \"$1\" && " + unpack + " \"$0\" >/dev/null", {ours, byPeer}), QString());
        QCOMPARE(treeDifference(source, byPeer), QString());
        QCOMPARE(shell("cd \"$1\" && " + pack + " \"$0\" docs 'top file.txt' >/dev/null",
                       {theirs, source}),
                 QString());
        QCOMPARE(extractHere(theirs, tmp.path() + "/us"), int(cfr::Ok));
        QCOMPARE(treeDifference(source, tmp.path() + "/us"), QString());
    }

    void singleStreamBothWays_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("tool");
        for (const QString row : {".gz|gzip", ".bz2|bzip2", ".xz|xz", ".zst|zstd -q"})
            QTest::newRow(qPrintable(row)) << row.section('|', 0, 0) << row.section('|', 1);
    }

    void singleStreamBothWays() {
        QFETCH(QString, suffix);
        QFETCH(QString, tool);
        QTemporaryDir tmp;
        const QString original = tmp.path() + "/report.txt";
        const QByteArray bytes =
            QByteArray("line of text\n").repeated(20000) + testing::noiseBytes(200 * 1024, 3);
        QVERIFY(testing::writeFile(original, bytes));
        QVERIFY(testing::writeFile(tmp.path() + "/other.txt", "not packed"));

        // Ours, read by the compressor: only the first input goes in, and it must be a file.
        const QString ours = tmp.path() + "/ours" + suffix;
        QCOMPARE(packPaths({tmp.path()}, ours), int(cfr::Unsupported));
        QCOMPARE(packPaths({original, tmp.path() + "/other.txt"}, ours), int(cfr::Ok));
        QCOMPARE(shell(tool + " -dc \"$0\" > \"$1\"", {ours, tmp.path() + "/decoded"}), QString());
        QCOMPARE(testing::readFile(tmp.path() + "/decoded"), bytes);

        // The compressor's, extracted by us under the archive's name less its suffix.
        const QString theirs = tmp.path() + "/report.txt" + suffix;
        QCOMPARE(shell(tool + " -c \"$0\" > \"$1\"", {original, theirs}), QString());
        QCOMPARE(extractHere(theirs, tmp.path() + "/out"), int(cfr::Ok));
        QCOMPARE(testing::treeListing(tmp.path() + "/out"), QStringList{"report.txt"});
        QCOMPARE(testing::readFile(tmp.path() + "/out/report.txt"), bytes);
    }

    void volumeNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        // a.s00 comes after a.r99.
        for (const QString row : {"a.r05 a.rar a.r01", "A.RAR A.RAR A.R01", "a.s00 a.rar a.r01",
                                  "v1.2.part2.rar v1.2.part1.rar v1.2.part3.rar"})
            QTest::newRow(qPrintable(row))
                << row.section(' ', 0, 0) << row.section(' ', 1, 1) << row.section(' ', 2);
    }

    void volumeNames() {
        QFETCH(QString, path);
        QFETCH(QString, first);
        QFETCH(QString, third);
        const auto name = cfr::parseVolumeName(path.toStdString());
        QVERIFY(name);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, 0)), first);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, 2)), third);
        QCOMPARE(QString::fromStdString(cfr::volumePath(*name, name->index)), path);
    }

    void rarArchives_data() {
        QTest::addColumn<QString>("opened"); // song.*: a part of a three-part set of song.bin
        QTest::addColumn<QString>("removed");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("subject");
        const auto row = [](const char* name, const char* opened, const char* removed, int result,
                            int reason = cfr::NoReason, const char* subject = "") {
            QTest::newRow(name) << opened << removed << result << reason << subject;
        };
        row("first part", "song.part1.rar", "", cfr::Ok);
        row("last part", "song.part3.rar", "", cfr::Ok);
        row("old naming, a later part", "song.r00", "", cfr::Ok);
        row("middle part missing", "song.part1.rar", "song.part2.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.part2.rar");
        row("last part missing", "song.part2.rar", "song.part3.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.part3.rar");
        row("first part missing, old naming", "song.r01", "song.rar", cfr::OpenFailed,
            cfr::MissingVolume, "song.rar");
        // libarchive cannot decrypt RAR, and does not even see RAR 5 encryption.
        row("encrypted rar5", "rar5_encrypted.rar", "", cfr::Unsupported,
            cfr::RarEncryptionUnsupported);
        row("encrypted rar4", "rar4_encrypted.rar", "", cfr::Unsupported,
            cfr::RarEncryptionUnsupported);
    }

    void rarArchives() {
        QFETCH(QString, opened);
        QFETCH(QString, removed);
        QFETCH(int, result);
        QFETCH(int, reason);
        QFETCH(QString, subject);
        QTemporaryDir tmp;
        const QByteArray song = testing::noiseBytes(3000, 7);
        QString archive = testing::testData("rar/" + opened);
        if (opened.startsWith("song.")) {
            QVERIFY(makeSet(tmp.path(), song, 3, opened.endsWith(".rar") ? "part" : "old"));
            QVERIFY(removed.isEmpty() || QFile::remove(tmp.path() + '/' + removed));
            archive = tmp.path() + '/' + opened;
        }
        const QByteArray path = archive.toUtf8();
        QCOMPARE(cfr::archiveNeedsPassword(path.constData()),
                 reason == cfr::RarEncryptionUnsupported ? 1 : 0);

        const QString out = tmp.path() + "/out";
        QCOMPARE(coretest::extractTo(archive, out, "password"), result);
        QCOMPARE(cfr::failureReason(), reason);
        QCOMPARE(QString::fromUtf8(cfr::failureSubject()), subject);
        if (result != cfr::Ok) {
            QVERIFY(!QDir(out).exists());
            return;
        }
        QCOMPARE(testing::treeListing(out), QStringList{"song.bin"});
        QCOMPARE(testing::readFile(out + "/song.bin"), song);
        // 7z reads a set from its first part, which the engine names for the whole set.
        QByteArray first(4096, '\0');
        const int length = cfr::archiveFirstVolume(path.constData(), first.data(), first.size());
        QVERIFY(length > 0);
        const auto peer = testing::runTool(
            "7z", {"x", "-o" + tmp.path() + "/peer", QString::fromUtf8(first.left(length))});
        QCOMPARE(peer.exitCode, 0);
        QCOMPARE(coretest::treeDifference(tmp.path() + "/peer", out), QString());
    }
};

QTEST_GUILESS_MAIN(TarTest)
#include "tst_tar.moc"
