// The writers that compress on every core: what they write is still the standard format, read
// back by the format's own tools, by bsdtar and by us, and a cancelled one leaves nothing.
#include "p7/p7_ops.h"
#include "tar/tar_backend.h"
#include "tar_test_util.h"
#include "test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace tartest;
using testing::runTool;
using testing::writeFile;

class ParallelWritersTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString input_;

    static void writers() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QStringList>("check");
        // A command whose output shows the work was spread, and what it must print.
        QTest::addColumn<QStringList>("spread");
        QTest::addColumn<QString>("spreadPattern");
        QTest::newRow("tar.zst") << ".tar.zst" << QStringList{"zstd", "-tq"} << QStringList()
                                 << QString();
        QTest::newRow("tar.xz") << ".tar.xz" << QStringList{"xz", "-t"}
                                << QStringList{"xz", "--robot", "-l"}
                                << "\ntotals\t1\t([2-9]|\\d\\d)\t";
        QTest::newRow("tar.gz") << ".tar.gz" << QStringList{"gzip", "-t"} << QStringList()
                                << QString();
        QTest::newRow("7z") << ".7z" << QStringList{"7z", "t"} << QStringList{"7z", "l", "-slt"}
                            << "Method = LZMA2";
    }

private slots:
    // More than one xz block of text, and data that does not compress.
    void initTestCase() {
        input_ = tmp_.path() + "/set";
        QByteArray lines;
        for (int i = 0; i < 200; ++i)
            lines += "line " + QByteArray::number(i * 7919 % 100003) + " of a repeating text\n";
        const QByteArray text = lines.repeated((26 << 20) / lines.size() + 1);
        QVERIFY(writeFile(input_ + "/text.txt", text));
        QVERIFY(writeFile(input_ + "/sub/noise.bin", testing::noiseBytes(3 << 20)));
        QVERIFY(writeFile(input_ + "/sub/empty", QByteArray()));
    }

    void othersReadWhatWeWrite_data() { writers(); }
    void othersReadWhatWeWrite() {
        QFETCH(QString, suffix);
        QFETCH(QStringList, check);
        QFETCH(QStringList, spread);
        QFETCH(QString, spreadPattern);
        if (suffix == ".7z" && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        const QString archive = tmp_.path() + "/out" + suffix;
        QCOMPARE(packPaths({input_}, archive), int(cfr::Ok));
        const auto tested = runTool(check.first(), check.mid(1) << archive);
        QVERIFY2(tested.exitCode == 0, tested.out.constData());
        if (!spread.isEmpty()) {
            const auto listed = runTool(spread.first(), spread.mid(1) << archive);
            QVERIFY2(QString(listed.out).contains(QRegularExpression(spreadPattern)),
                     listed.out.constData());
        }
        const QString byBsdtar = tmp_.path() + "/bsdtar" + suffix;
        QVERIFY(QDir().mkpath(byBsdtar));
        QCOMPARE(runTool("bsdtar", {"-xf", archive, "-C", byBsdtar}).exitCode, 0);
        QCOMPARE(treeDifference(input_, byBsdtar + "/set"), QString());
        const QString byUs = tmp_.path() + "/us" + suffix;
        QCOMPARE(extractTo(archive, byUs), int(cfr::Ok));
        QCOMPARE(treeDifference(input_, byUs + "/set"), QString());
    }

    void cancellingLeavesNothing_data() { writers(); }
    void cancellingLeavesNothing() {
        QFETCH(QString, suffix);
        if (suffix == ".7z" && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        QTemporaryDir out;
        ProgressLog log;
        log.stopWhen = [&] { return log.fractions.size() > 0 && log.fractions.back() > 0.5; };
        QCOMPARE(packPaths({input_}, out.path() + "/c" + suffix, QString(), &log),
                 int(cfr::Cancelled));
        QVERIFY(log.nonDecreasing());
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // What writes 7z where the plugin is missing.
    void libarchiveStillWrites7z() {
        const QString archive = tmp_.path() + "/fallback.7z";
        QCOMPARE(cfr::tarPack({QFile::encodeName(input_).toStdString()},
                              QFile::encodeName(archive).toStdString(), cfr::SevenZip, nullptr),
                 int(cfr::Ok));
        const auto tested = runTool("7z", {"t", archive});
        QVERIFY2(tested.exitCode == 0, tested.out.constData());
    }
};

QTEST_GUILESS_MAIN(ParallelWritersTest)
#include "tst_parallel_writers.moc"
