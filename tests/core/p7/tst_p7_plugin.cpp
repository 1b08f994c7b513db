// 7z through the real 7-Zip plugin: what we write is checked by the 7z tool, and what the
// 7z tool writes is extracted by us, byte for byte.
#include "cfr.h"
#include "p7/p7_ops.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

using tartest::ProgressLog;

namespace {

const QString kPassword = QStringLiteral("pässwörd €");

testing::ToolRun sevenZip(const QStringList& args, const QString& workDir = QString()) {
    return testing::runTool("7z", args, workDir);
}

// A folder "docs" and a file "single.txt" in root, with what archives hold that is easy to
// get wrong: empty files and folders, names beyond ASCII, data that does not compress.
void makeTree(const QString& root) {
    QVERIFY(testing::writeFile(root + "/single.txt", "single"));
    QVERIFY(testing::writeFile(root + "/docs/a.txt", "alpha"));
    QVERIFY(testing::writeFile(root + "/docs/empty.txt", ""));
    QVERIFY(QDir().mkpath(root + "/docs/empty folder"));
    QVERIFY(testing::writeFile(root + "/docs/été/中文 名.txt", "unicode ✓"));
    QVERIFY(testing::writeFile(root + "/docs/sub/deep/noise.bin", testing::noiseBytes(300000, 7)));
    QVERIFY(testing::writeFile(root + "/docs/sub/pattern.txt",
                               QByteArray("the same line again\n").repeated(10000)));
}

// Entry names as the 7z tool lists them, without a password.
// A copy-method 7z with a plain header whose one coder gets an id no plugin knows (as zstd is
// unknown to Debian's); both CRCs are redone so that only the method is wrong.
QByteArray withUnknownMethod(QByteArray archive) {
    const auto field = [&](int at) { return qFromLittleEndian<quint64>(archive.constData() + at); };
    const int header = int(32 + field(12));
    const int coder = archive.indexOf(QByteArray("\x0b\x01\x00\x01\x01\x00", 6), header);
    if (coder < 0)
        return {};
    archive[coder + 5] = char(0x7F);
    const auto storeCrc = [&](int where, int at, uInt size) {
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(archive.constData()) + at, size);
        for (int i = 0; i < 4; ++i)
            archive[where + i] = char(crc >> (8 * i));
    };
    storeCrc(28, header, uInt(field(20)));
    storeCrc(8, 12, 20);
    return archive;
}

QStringList listedNames(const QString& archive) {
    const auto run = sevenZip({"l", "-slt", "-ba", archive});
    QStringList names;
    for (const auto& line : QString::fromUtf8(run.out).split('\n'))
        if (line.startsWith("Path = "))
            names << line.mid(7);
    names.sort();
    return names;
}

} // namespace

class TestP7Plugin : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString source_;

private slots:
    void initTestCase() {
        qputenv("LC_ALL", "C.UTF-8"); // the 7z tool reads and prints names in this locale
        qunsetenv("CFR_P7ZIP_LIB");
        if (!cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        QVERIFY(dir_.isValid());
        source_ = dir_.filePath("source");
        makeTree(source_);
    }

    void packedArchivesAreReadBy7z() {
        QTemporaryDir work;
        const QString archive = work.filePath("packed.7z");
        ProgressLog job;
        QCOMPARE(tartest::packPaths({source_ + "/docs", source_ + "/single.txt"}, archive,
                                    kPassword, &job),
                 0);
        QVERIFY(!job.fractions.empty());
        QCOMPARE(job.fractions.back(), 1.0);

        QCOMPARE(sevenZip({"t", "-p" + kPassword, archive}).exitCode, 0);
        QVERIFY(sevenZip({"t", "-pnot it", archive}).exitCode != 0);
        // Names are readable without the password.
        QCOMPARE(
            listedNames(archive),
            (QStringList{"docs", "docs/a.txt", "docs/empty folder", "docs/empty.txt", "docs/sub",
                         "docs/sub/deep", "docs/sub/deep/noise.bin", "docs/sub/pattern.txt",
                         "docs/été", "docs/été/中文 名.txt", "single.txt"}));

        const QString out = work.filePath("out");
        QCOMPARE(sevenZip({"x", "-p" + kPassword, "-o" + out, archive}).exitCode, 0);
        QCOMPARE(tartest::treeDifference(source_, out), QString());
    }

    void extractsWhat7zWrites_data() {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<QString>("password");
        QTest::newRow("solid, encrypted") << QStringList{"-ms=on"} << kPassword;
        QTest::newRow("encrypted names") << QStringList{"-mhe=on"} << kPassword;
        QTest::newRow("stored") << QStringList{"-mx=0"} << QString();
    }

    void extractsWhat7zWrites() {
        QFETCH(QStringList, switches);
        QFETCH(QString, password);
        QTemporaryDir work;
        const QString archive = work.filePath("made by 7z.7z");
        QStringList args{"a", archive, "docs", "single.txt"};
        if (!password.isEmpty())
            args << "-p" + password;
        QCOMPARE(sevenZip(args + switches, source_).exitCode, 0);

        ProgressLog job;
        QCOMPARE(tartest::extractTo(archive, work.filePath("out"), password, &job), 0);
        QCOMPARE(job.fractions.back(), 1.0);
        QCOMPARE(tartest::treeDifference(source_, work.filePath("out")), QString());
    }

    void badPasswords_data() {
        QTest::addColumn<bool>("encryptedNames");
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("content encrypted, wrong") << false << "wrong" << int(cfr::BadPassword);
        QTest::newRow("names encrypted, wrong") << true << "wrong" << int(cfr::OpenFailed);
    }

    void badPasswords() {
        QFETCH(bool, encryptedNames);
        QFETCH(QString, given);
        QFETCH(int, expected);
        QTemporaryDir work;
        const QString archive = work.filePath("locked.7z");
        QCOMPARE(sevenZip({"a", archive, "docs", "-p" + kPassword,
                           encryptedNames ? "-mhe=on" : "-mhe=off"},
                          source_)
                     .exitCode,
                 0);
        QCOMPARE(tartest::extractTo(archive, work.filePath("out"), given), expected);
    }

    void notA7zArchive_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("expected");
        QTemporaryDir work;
        const QString archive = work.filePath("good.7z");
        sevenZip({"a", archive, "docs", "-p" + kPassword}, source_);
        const QByteArray good = testing::readFile(archive);
        QVERIFY(good.size() > 1000);
        QTest::newRow("text") << QByteArray("this is not an archive\n") << int(cfr::OpenFailed);
        QTest::newRow("last byte missing") << good.left(good.size() - 1) << int(cfr::OpenFailed);
        const QString copy = work.filePath("copy.7z");
        sevenZip({"a", copy, "single.txt", "-m0=Copy", "-mhc=off"}, source_);
        QTest::newRow("method the plugin lacks")
            << withUnknownMethod(testing::readFile(copy)) << int(cfr::Unsupported);
    }

    void notA7zArchive() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, expected);
        QTemporaryDir work;
        const QString archive = work.filePath("broken.7z");
        QVERIFY(testing::writeFile(archive, bytes));
        QCOMPARE(tartest::extractTo(archive, work.filePath("out"), kPassword), expected);
    }

    // A file that cannot be created (a non-empty folder stands in its way) is the disk's fault:
    // telling the user the password was wrong would send them looking in the wrong place.
    void unwritableTargetIsAFailureNotAPassword() {
        QTemporaryDir work;
        const QString archive = work.filePath("locked.7z");
        QCOMPARE(sevenZip({"a", archive, "single.txt", "-p" + kPassword}, source_).exitCode, 0);
        QVERIFY(testing::writeFile(work.filePath("out/single.txt/blocker"), "in the way"));
        QCOMPARE(tartest::extractTo(archive, work.filePath("out"), kPassword), int(cfr::Failed));
        QCOMPARE(tartest::extractTo(archive, work.filePath("fresh"), kPassword), int(cfr::Ok));
    }

    // Packing a folder again into the archive it already holds replaces it, never stores it.
    void archiveIsNotPackedIntoItself() {
        QTemporaryDir work;
        QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
        const QString archive = work.filePath("folder/folder.7z");
        QCOMPARE(tartest::packPaths({work.filePath("folder")}, archive, kPassword), 0);
        QCOMPARE(tartest::packPaths({work.filePath("folder")}, archive, kPassword), 0);
        QCOMPARE(listedNames(archive), (QStringList{"folder", "folder/f.txt"}));
    }

    void vanishingSourceLeavesNothing() {
        QTemporaryDir work;
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            files << work.filePath(QStringLiteral("in/part%1.bin").arg(i));
            QVERIFY(testing::writeFile(files.last(), testing::noiseBytes(2000000, i)));
        }
        const QString archive = work.filePath("gone.7z");
        ProgressLog job;
        job.onReport = [&](double) {
            for (const QString& file : files)
                QFile::remove(file);
        };
        QCOMPARE(tartest::packPaths({work.filePath("in")}, archive, kPassword, &job),
                 int(cfr::Failed));
        QVERIFY(!QFile::exists(archive));
    }

    void missingSourceFails_data() {
        QTest::addColumn<QString>("missing");
        QTest::newRow("missing input") << "gone.txt";
        QTest::newRow("dangling link inside a folder") << "folder";
    }

    void missingSourceFails() {
        QFETCH(QString, missing);
        QTemporaryDir work;
        QVERIFY(testing::writeFile(work.filePath("here.txt"), "here"));
        QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
        QVERIFY(QFile::link(work.filePath("nowhere"), work.filePath("dangling")));
        QVERIFY(QFile::link(work.filePath("nowhere"), work.filePath("folder/dangling")));
        const QString archive = work.filePath("partial.7z");
        QCOMPARE(tartest::packPaths({work.filePath("here.txt"), work.filePath(missing)}, archive,
                                    kPassword),
                 int(cfr::Failed));
        QVERIFY(!QFile::exists(archive));
    }

    void cancelledJobs() {
        QTemporaryDir work;
        const QString archive = work.filePath("stopped.7z");
        ProgressLog packJob;
        packJob.cancelAfter = 1;
        QCOMPARE(tartest::packPaths({source_ + "/docs"}, archive, kPassword, &packJob),
                 int(cfr::Cancelled));
        QVERIFY(!QFile::exists(archive));

        QCOMPARE(tartest::packPaths({source_ + "/docs"}, archive, kPassword), 0);
        ProgressLog extractJob;
        extractJob.cancelAfter = 1;
        QCOMPARE(tartest::extractTo(archive, work.filePath("out"), kPassword, &extractJob),
                 int(cfr::Cancelled));
    }
};

QTEST_GUILESS_MAIN(TestP7Plugin)
#include "tst_p7_plugin.moc"
