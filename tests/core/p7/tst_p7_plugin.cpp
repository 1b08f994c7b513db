// 7z through the real 7-Zip plugin: what we write is checked by the 7z tool, and what the 7z tool
// writes is extracted by us, byte for byte.
#include "cfr.h"
#include "core_test_util.h"
#include "p7/p7_backend.h"
#include "test_support.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace coretest;
using testing::runTool;

namespace {

const QString kPassword = QStringLiteral("pässwörd €");

// Entry names as the 7z tool lists them without a password, sorted.
QStringList listedNames(const QString& archive) {
    QStringList names;
    for (const auto& line :
         QString::fromUtf8(runTool("7z", {"l", "-slt", "-ba", archive}).out).split('\n'))
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
    QStringList inputs_;

private slots:
    void initTestCase() {
        qputenv("LC_ALL",
                "C.UTF-8"); // the 7z tool reads and prints names in this locale
        qunsetenv("CFR_P7ZIP_LIB");
        if (!cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        source_ = dir_.filePath("source");
        inputs_ = makeSampleTree(source_);
    }

    void packedArchivesAreReadBy7z() {
        QTemporaryDir work;
        const QString archive = work.filePath("packed.7z");
        ProgressLog job;
        QCOMPARE(packPaths(inputs_, archive, kPassword, &job), int(cfr::Ok));
        QCOMPARE(job.last(), 1.0);
        QVERIFY(runTool("7z", {"t", "-pnot it", archive}).exitCode != 0);
        // Names are readable without the password.
        QStringList names = testing::treeListing(source_);
        names.replaceInStrings(QRegularExpression("/$"), "").sort();
        QCOMPARE(listedNames(archive), names);
        const QString out = work.filePath("out");
        QCOMPARE(runTool("7z", {"x", "-p" + kPassword, "-o" + out, archive}).exitCode, 0);
        QCOMPARE(treeDifference(source_, out), QString());
    }

    // Solid, names encrypted: every layer the 7z tool adds by default and by choice. A file that
    // then cannot be created (a non-empty folder stands in its way) is the disk's fault: telling
    // the user the password was wrong would send them looking in the wrong place.
    void extractsWhat7zWrites() {
        QTemporaryDir work;
        const QString archive = work.filePath("made by 7z.7z");
        QCOMPARE(runTool("7z", {"a", archive, "docs", "top file.txt", "-mhe=on", "-p" + kPassword},
                         source_)
                     .exitCode,
                 0);
        ProgressLog job;
        QCOMPARE(extractTo(archive, work.filePath("out"), kPassword, &job), int(cfr::Ok));
        QCOMPARE(job.last(), 1.0);
        QCOMPARE(treeDifference(source_, work.filePath("out")), QString());
        QVERIFY(testing::writeFile(work.filePath("blocked/top file.txt/blocker"), "in the way"));
        QCOMPARE(extractTo(archive, work.filePath("blocked"), kPassword), int(cfr::Failed));
    }

    // Packing a folder again into the archive it already holds replaces it, never stores it.
    void archiveIsNotPackedIntoItself() {
        QTemporaryDir work;
        QVERIFY(testing::writeFile(work.filePath("folder/f.txt"), "f"));
        const QString archive = work.filePath("folder/folder.7z");
        QCOMPARE(packPaths({work.filePath("folder")}, archive, kPassword), int(cfr::Ok));
        QCOMPARE(packPaths({work.filePath("folder")}, archive, kPassword), int(cfr::Ok));
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
        QCOMPARE(packPaths({work.filePath("in")}, archive, kPassword, &job), int(cfr::Failed));
        QVERIFY(!QFile::exists(archive));
    }
};

QTEST_GUILESS_MAIN(TestP7Plugin)
#include "tst_p7_plugin.moc"
