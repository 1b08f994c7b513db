// The .cfr package through the engine's entry points, checked with 7z and unzip.
#include "zip/package.h"

#include "cfr.h"
#include "test_support.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace ziptest;
using tartest::extractTo;
using tartest::packPaths;

namespace {

const QStringList sampleListing{"a.txt", "docs/", "docs/sub/", "docs/x.txt"};

QStringList samplePaths(const Scratch& scratch) {
    makeSampleTree(scratch.path("in"));
    return {scratch.path("in/a.txt"), scratch.path("in/docs")};
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
        QTest::newRow("unknown suffix") << "box.data"
                                        << "pw" << int(cfr::Ok);
        QTest::newRow("wrong password") << "box.cfr"
                                        << "pW" << int(cfr::BadPassword);
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

    void temporaryFolderPackedIntoItself() {
        Scratch scratch;
        testing::writeFile(scratch.tmp() + "/keep.txt", "kept");
        QCOMPARE(packPaths({scratch.tmp()}, scratch.path("tmp.cfr"), "pw"), int(cfr::Ok));
        QCOMPARE(extractTo(scratch.path("tmp.cfr"), scratch.path("out"), "pw"), int(cfr::Ok));
        QCOMPARE(testing::treeListing(scratch.path("out")), QStringList({"tmp/", "tmp/keep.txt"}));
        QCOMPARE(scratch.leftovers(), QStringList({"keep.txt"}));
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
