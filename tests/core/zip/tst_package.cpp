// The .cfr package through the engine's entry points, checked with 7z and unzip.
#include "zip/package.h"

#include "cfr.h"
#include "test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>

using namespace ziptest;
using tartest::extractTo;
using tartest::packPaths;

namespace {

const QStringList sampleListing{"a.txt", "docs/", "docs/sub/", "docs/x.txt"};

QStringList samplePaths(const Scratch& scratch) {
    makeSampleTree(scratch.path("in"));
    return {scratch.path("in/a.txt"), scratch.path("in/docs")};
}

// Permission bits of everything directly in dir.
QList<int> modesIn(const QString& dir) {
    QList<int> modes;
    for (const QFileInfo& info :
         QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        struct stat st {};
        if (::stat(QFile::encodeName(info.filePath()).constData(), &st) == 0)
            modes << int(st.st_mode & 07777);
    }
    return modes;
}

} // namespace

class PackageTest : public QObject {
    Q_OBJECT

private slots:
    void layoutSeenByOtherTools() {
        Scratch scratch;
        const QString dest = scratch.path("box.cfr");
        QCOMPARE(packPaths(samplePaths(scratch), dest, "pa$$ word"), int(cfr::Ok));
        QCOMPARE(scratch.leftovers(), QStringList());

        const auto listing = testing::runTool("7z", {"l", "-slt", "-ppa$$ word", dest});
        QCOMPARE(listing.exitCode, 0);
        const QString text = QString::fromUtf8(listing.out);
        const QRegularExpression entry("^Path = ([0-9a-f]{16}\\.zip)$",
                                       QRegularExpression::MultilineOption);
        QStringList names;
        for (auto it = entry.globalMatch(text); it.hasNext();)
            names << it.next().captured(1);
        QCOMPARE(names.size(), 1);
        QVERIFY(text.contains("Encrypted = +"));
        QVERIFY(text.contains(QRegularExpression("Method = AES-256")));

        QCOMPARE(testing::runTool("7z", {"x", "-ppa$$ word", "-o" + scratch.path("outer"), dest})
                     .exitCode,
                 0);
        const QString inner = scratch.path("outer/" + names.first());
        QCOMPARE(unzipNames(inner), QStringList({"a.txt", "docs/sub/", "docs/x.txt"}));
        QVERIFY(!testing::runTool("7z", {"l", "-slt", inner}).out.contains("Encrypted = +"));
        QCOMPARE(testing::runTool("unzip", {"-q", inner, "-d", scratch.path("check")}).exitCode, 0);
        QCOMPARE(testing::treeListing(scratch.path("check")), sampleListing);
        QCOMPARE(testing::readFile(scratch.path("check/docs/x.txt")),
                 testing::readFile(scratch.path("in/docs/x.txt")));
    }

    // A package is told by its content, whatever its name; a wrong password writes nothing.
    void unpacked_data() {
        QTest::addColumn<QString>("storedAs");
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("cfr") << "box.cfr"
                             << "pw" << int(cfr::Ok);
        QTest::newRow("zip") << "box.zip"
                             << "pw" << int(cfr::Ok);
        QTest::newRow("unknown suffix") << "box.data"
                                        << "pw" << int(cfr::Ok);
        QTest::newRow("wrong password") << "box.cfr"
                                        << "pW" << int(cfr::BadPassword);
        QTest::newRow("no password") << "box.cfr"
                                     << "" << int(cfr::BadPassword);
    }

    void unpacked() {
        QFETCH(QString, storedAs);
        QFETCH(QString, given);
        QFETCH(int, expected);
        Scratch scratch;
        QCOMPARE(packPaths(samplePaths(scratch), scratch.path("box.cfr"), "pw"), int(cfr::Ok));
        if (storedAs != "box.cfr")
            QVERIFY(QFile::rename(scratch.path("box.cfr"), scratch.path(storedAs)));
        ProgressLog log;
        QCOMPARE(extractTo(scratch.path(storedAs), scratch.path("out"), given, &log), expected);
        QCOMPARE(scratch.leftovers(), QStringList());
        if (expected != cfr::Ok) {
            QVERIFY(!QFileInfo::exists(scratch.path("out")));
            return;
        }
        QCOMPARE(testing::treeListing(scratch.path("out")), sampleListing);
        QCOMPARE(testing::readFile(scratch.path("out/docs/x.txt")),
                 testing::readFile(scratch.path("in/docs/x.txt")));
        QVERIFY(log.nonDecreasing());
        QVERIFY(log.fractions.front() <= 0.5);
        QCOMPARE(log.fractions.back(), 1.0);
    }

    void packageTestByContent_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain zip with two entries under .cfr")
            << "two" << QStringList({"one.txt", "two.txt"});
        QTest::newRow("single encrypted data.ZIP") << "upper" << QStringList({"inside.txt"});
        QTest::newRow("single unencrypted x.zip") << "clear" << QStringList({"x.zip"});
        QTest::newRow("single entry below a folder") << "nested" << QStringList({"inside.txt"});
        QTest::newRow("made by 7-Zip") << "7z" << QStringList({"inside.txt"});
    }

    void packageTestByContent() {
        QFETCH(QString, layout);
        QFETCH(QStringList, expected);
        Scratch scratch;
        const QString innerZip = scratch.path("inner.zip");
        QVERIFY(writeCraftedZip(innerZip, {{"inside.txt", "inside"}}));
        const QByteArray innerBytes = testing::readFile(innerZip);
        const QString archive = scratch.path("test.cfr");
        if (layout == "two")
            QVERIFY(writeCraftedZip(archive, {{"one.txt", "1"}, {"two.txt", "2"}}));
        else if (layout == "upper")
            QVERIFY(writeCraftedZip(archive, {{"data.ZIP", innerBytes, true}}, "pw"));
        else if (layout == "clear")
            QVERIFY(writeCraftedZip(archive, {{"x.zip", innerBytes, false}}));
        else if (layout == "nested")
            QVERIFY(writeCraftedZip(archive, {{"deep/down/0123456789abcdef.zip", innerBytes, true}},
                                    "pw"));
        else
            QCOMPARE(testing::runTool("7z",
                                      {"a", "-tzip", "-mem=AES256", "-ppw", archive, "inner.zip"},
                                      scratch.path())
                         .exitCode,
                     0);
        QCOMPARE(extractTo(archive, scratch.path("out"), "pw"), int(cfr::Ok));
        QCOMPARE(testing::treeListing(scratch.path("out")), expected);
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void packProgressSplitsAtHalfAndStaysPrivate() {
        Scratch scratch;
        testing::writeFile(scratch.path("in/big.bin"), testing::noiseBytes(4 << 20));
        QDir().mkpath(scratch.path("out"));
        ProgressLog log;
        QList<double> beforeOuter;
        QList<double> duringOuter;
        QList<int> temporaryModes;
        bool outerSeen = false;
        log.onReport = [&](double fraction) {
            // libzip writes the outer archive to a temporary beside the staged destination.
            outerSeen |= !QDir(scratch.path("out"))
                              .entryList({"*.part.*"}, QDir::Files | QDir::Hidden)
                              .isEmpty();
            (outerSeen ? duringOuter : beforeOuter) << fraction;
            temporaryModes << modesIn(scratch.tmp());
        };
        QCOMPARE(packPaths({scratch.path("in/big.bin")}, scratch.path("out/big.cfr"), "pw", &log),
                 int(cfr::Ok));
        QVERIFY(beforeOuter.size() > 2);
        QVERIFY(duringOuter.size() > 2);
        QVERIFY(*std::max_element(beforeOuter.begin(), beforeOuter.end()) <= 0.5);
        QVERIFY(*std::min_element(duringOuter.begin(), duringOuter.end()) >= 0.5);
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.fractions.back(), 1.0);
        QVERIFY(!temporaryModes.isEmpty());
        QCOMPARE(temporaryModes.count(0600), temporaryModes.size());
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void emptyFilesStillEndAtOne() {
        Scratch scratch;
        testing::writeFile(scratch.path("in/empty.txt"), QByteArray());
        QDir().mkpath(scratch.path("in/folder"));
        ProgressLog packed;
        QCOMPARE(packPaths({scratch.path("in/empty.txt"), scratch.path("in/folder")},
                           scratch.path("box.cfr"), "pw", &packed),
                 int(cfr::Ok));
        QCOMPARE(packed.fractions.back(), 1.0);
        // The inner archive holds no byte of data: its pass has nothing to count.
        ProgressLog log;
        QCOMPARE(extractTo(scratch.path("box.cfr"), scratch.path("out"), "pw", &log), int(cfr::Ok));
        QCOMPARE(testing::treeListing(scratch.path("out")), QStringList({"empty.txt", "folder/"}));
        QVERIFY(log.nonDecreasing());
        QCOMPARE(log.fractions.back(), 1.0);
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void extractWorkFolderIsPrivate() {
        Scratch scratch;
        testing::writeFile(scratch.path("in/big.bin"), testing::noiseBytes(1 << 20));
        QCOMPARE(packPaths({scratch.path("in/big.bin")}, scratch.path("big.cfr"), "pw"),
                 int(cfr::Ok));
        ProgressLog log;
        QStringList seen;
        QList<int> modes;
        log.onReport = [&](double) {
            seen << scratch.leftovers();
            modes << modesIn(scratch.tmp());
        };
        QCOMPARE(extractTo(scratch.path("big.cfr"), scratch.path("out"), "pw", &log), int(cfr::Ok));
        QVERIFY(!modes.isEmpty());
        QCOMPARE(modes.count(0700), modes.size());
        seen.removeDuplicates();
        QCOMPARE(seen.size(), 1);
        QVERIFY(QRegularExpression("^cfr_[0-9a-f]{16}$").match(seen.first()).hasMatch());
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void setTempDirIsHonoured() {
        Scratch scratch;
        const QString chosen = scratch.path("chosen");
        QDir().mkpath(chosen);
        cfr::setTempDir(chosen.toUtf8().constData());
        ProgressLog log;
        QStringList seen;
        log.onReport = [&](double) { seen << QDir(chosen).entryList(QDir::Files); };
        QCOMPARE(packPaths(samplePaths(scratch), scratch.path("box.cfr"), "pw", &log),
                 int(cfr::Ok));
        QVERIFY(QRegularExpression("^[0-9a-f]{16}\\.zip").match(seen.value(0)).hasMatch());
        QVERIFY(QDir(chosen).isEmpty());
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

    void cancelLeavesNothing_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<double>("stopAt");
        QTest::newRow("pack, first pass") << "pack" << 0.1;
        QTest::newRow("pack, second pass") << "pack" << 0.6;
        QTest::newRow("extract, first pass") << "extract" << 0.1;
    }

    void cancelLeavesNothing() {
        QFETCH(QString, job);
        QFETCH(double, stopAt);
        Scratch scratch;
        testing::writeFile(scratch.path("in/big.bin"), testing::noiseBytes(4 << 20));
        QDir().mkpath(scratch.path("out"));
        ProgressLog log;
        log.stopWhen = [&] { return !log.fractions.empty() && log.fractions.back() >= stopAt; };
        if (job == "pack") {
            QCOMPARE(
                packPaths({scratch.path("in/big.bin")}, scratch.path("out/big.cfr"), "pw", &log),
                int(cfr::Cancelled));
        } else {
            QCOMPARE(packPaths({scratch.path("in/big.bin")}, scratch.path("big.cfr"), "pw"),
                     int(cfr::Ok));
            QCOMPARE(extractTo(scratch.path("big.cfr"), scratch.path("out"), "pw", &log),
                     int(cfr::Cancelled));
        }
        QVERIFY(log.fractions.back() < stopAt + 0.25);
        QVERIFY(QDir(scratch.path("out")).isEmpty());
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void emptyPassword() {
        Scratch scratch;
        const QStringList inputs = samplePaths(scratch);
        // libzip would take the empty password and fail only at close.
        QCOMPARE(packPaths(inputs, scratch.path("box.cfr"), ""), int(cfr::InvalidArgument));
        QVERIFY(!QFileInfo::exists(scratch.path("box.cfr")));
        // Without a suffix and without a password: a plain zip, which reads back as such.
        QCOMPARE(packPaths(inputs, scratch.path("box.data"), ""), int(cfr::Ok));
        QCOMPARE(unzipNames(scratch.path("box.data")),
                 QStringList({"a.txt", "docs/sub/", "docs/x.txt"}));
        QCOMPARE(extractTo(scratch.path("box.data"), scratch.path("out"), ""), int(cfr::Ok));
        QCOMPARE(testing::treeListing(scratch.path("out")), sampleListing);
        // With a password it stays a package.
        QCOMPARE(packPaths(inputs, scratch.path("locked.data"), "pw"), int(cfr::Ok));
        QCOMPARE(unzipNames(scratch.path("locked.data")).size(), 1);
        QVERIFY(cfr::archiveNeedsPassword(scratch.path("locked.data").toUtf8().constData()));
        QCOMPARE(scratch.leftovers(), QStringList());
    }

    void failuresLeaveNoTemporaries() {
        Scratch scratch;
        const QStringList inputs = samplePaths(scratch);
        testing::writeFile(scratch.path("plainfile"), "in the way");
        // An input that cannot be read fails the first pass.
        QCOMPARE(packPaths(inputs + QStringList{scratch.path("in/gone.txt")}, scratch.path("a.cfr"),
                           "pw"),
                 int(cfr::Failed));
        QVERIFY(!QFileInfo::exists(scratch.path("a.cfr")));
        // A destination that cannot be created fails the second pass.
        QCOMPARE(packPaths(inputs, scratch.path("plainfile/b.cfr"), "pw"), int(cfr::OpenFailed));
        QCOMPARE(packPaths(inputs, scratch.path("c.cfr"), "pw"), int(cfr::Ok));
        // Unpacking into a place that cannot hold files fails after the first pass.
        QCOMPARE(extractTo(scratch.path("c.cfr"), scratch.path("plainfile/out"), "pw"),
                 int(cfr::Failed));
        // Something that is no zip at all.
        QCOMPARE(extractTo(scratch.path("plainfile"), scratch.path("out"), "pw"),
                 int(cfr::OpenFailed));
        QCOMPARE(scratch.leftovers(), QStringList());
    }
};

QTEST_GUILESS_MAIN(PackageTest)
#include "tst_package.moc"
