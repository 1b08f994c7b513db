// The writers that compress on every core: what they write is still the standard format, read
// back by the format's own tools, by bsdtar and by us, and a cancelled one leaves nothing.
#include "core_test_util.h"
#include "libarchive/parallel_gzip.h"
#include "libarchive/tar_backend.h"
#include "p7/p7_backend.h"
#include "test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

using namespace coretest;
using testing::runTool;

namespace {

// What zlib makes of a gzip stream, or of data at one go on one thread.
QByteArray zlib(const QByteArray& data, bool inflating) {
    z_stream z{};
    if ((inflating
             ? inflateInit2(&z, 16 + MAX_WBITS)
             : deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY)) != Z_OK)
        return "init failed";
    QByteArray out(int(data.size()) * 2 + 1024, 0);
    QByteArray result;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    int code = Z_OK;
    while (code == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        code = inflating ? inflate(&z, Z_NO_FLUSH) : deflate(&z, Z_FINISH);
        result += out.left(out.size() - int(z.avail_out));
    }
    inflating ? inflateEnd(&z) : deflateEnd(&z);
    return code == Z_STREAM_END && z.avail_in == 0 ? result : "damaged";
}

} // namespace

class ParallelWritersTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString input_;

    // The peer's check, and a listing that shows the work was spread (or the cipher used) with
    // what it must print. The plugin takes ASCII zip passwords only; libzip writes the others.
    static void writers() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("check");
        QTest::addColumn<QStringList>("listing");
        QTest::addColumn<QString>("spread");
        const QString ascii = "ascii pass", other = QString::fromUtf8("pässwörd");
        const QString aes = "Method = AES-256";
        QTest::newRow("tar.zst") << ".tar.zst" << QString() << QStringList{"zstd", "-tq"}
                                 << QStringList();
        QTest::newRow("tar.gz") << ".tar.gz" << QString() << QStringList{"gzip", "-t"}
                                << QStringList();
        QTest::newRow("tar.xz") << ".tar.xz" << QString() << QStringList{"xz", "-t"}
                                << QStringList{"xz", "--robot", "-l"}
                                << "\ntotals\t1\t([2-9]|\\d\\d)\t";
        QTest::newRow("7z, plugin") << ".7z" << QString() << QStringList{"7z", "t"}
                                    << QStringList{"7z", "l", "-slt"} << "Method = LZMA2";
        QTest::newRow("AES zip, plugin") << ".zip" << ascii << QStringList{"7z", "t", "-p" + ascii}
                                         << QStringList{"7z", "l", "-slt", "-p" + ascii} << aes;
        QTest::newRow("AES zip, libzip") << ".zip" << other << QStringList{"7z", "t", "-p" + other}
                                         << QStringList{"7z", "l", "-slt", "-p" + other} << aes;
    }

private slots:
    // More than one xz block of text, and data that does not compress.
    void initTestCase() {
        input_ = tmp_.path() + "/set";
        QByteArray lines;
        for (int i = 0; i < 200; ++i)
            lines += "line " + QByteArray::number(i * 7919 % 100003) + " of a repeating text\n";
        QVERIFY(testing::writeFile(input_ + "/text.txt", lines.repeated((26 << 20) / 5000)));
        QVERIFY(testing::writeFile(input_ + "/sub/noise.bin", testing::noiseBytes(3 << 20)));
        QVERIFY(testing::writeFile(input_ + "/sub/empty", QByteArray()));
    }

    void othersReadWhatWeWrite_data() { writers(); }
    void othersReadWhatWeWrite() {
        QFETCH(QString, suffix);
        QFETCH(QString, password);
        QFETCH(QStringList, check);
        QFETCH(QStringList, listing);
        const QString tag = QTest::currentDataTag();
        if (tag.endsWith("plugin") && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        const QString archive = tmp_.path() + "/" + tag + suffix;
        QCOMPARE(packPaths({input_}, archive, password), int(cfr::Ok));
        const auto tested = runTool(check.first(), check.mid(1) << archive);
        QVERIFY2(tested.exitCode == 0, tested.out.constData());
        if (!listing.isEmpty()) {
            QFETCH(QString, spread);
            const auto listed = runTool(listing.first(), listing.mid(1) << archive);
            QVERIFY2(QString(listed.out).contains(QRegularExpression(spread)), listed.out.data());
        }
        const QString byBsdtar = tmp_.path() + "/bsdtar " + tag;
        QVERIFY(QDir().mkpath(byBsdtar));
        const QStringList secret =
            password.isEmpty() ? QStringList() : QStringList{"--passphrase", password};
        QCOMPARE(runTool("bsdtar", QStringList{"-xf", archive, "-C", byBsdtar} + secret).exitCode,
                 0);
        QCOMPARE(treeDifference(input_, byBsdtar + "/set"), QString());
        QCOMPARE(extractTo(archive, tmp_.path() + "/us " + tag, password), int(cfr::Ok));
        QCOMPARE(treeDifference(input_, tmp_.path() + "/us " + tag + "/set"), QString());
    }

    void cancellingLeavesNothing_data() { writers(); }
    void cancellingLeavesNothing() {
        QFETCH(QString, suffix);
        QFETCH(QString, password);
        if (QString(QTest::currentDataTag()).endsWith("plugin") && !cfr::p7Available())
            QSKIP("the 7-Zip plugin is not installed");
        QTemporaryDir out;
        ProgressLog log;
        log.stopWhen = [&] { return !log.fractions.empty() && log.fractions.back() > 0.5; };
        QCOMPARE(packPaths({input_}, out.path() + "/c" + suffix, password, &log),
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
        QCOMPARE(runTool("7z", {"t", archive}).exitCode, 0);
    }

    void gzipChunkBoundaries_data() {
        const int chunk = int(cfr::ParallelGzip::kDefaultChunk);
        // Text as varied as a real one: the repeated block above compresses to next to nothing.
        QByteArray text;
        for (int i = 0; text.size() < 21 * chunk; ++i)
            text += "entry " + QByteArray::number(i * 7919 % 100003) + " of a longer text\n";
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray("x");
        QTest::newRow("exactly one chunk") << text.left(chunk);
        QTest::newRow("one chunk and a byte") << text.left(chunk + 1);
        QTest::newRow("many chunks") << text.left(20 * chunk + 12345);
        QTest::newRow("incompressible") << testing::noiseBytes(5 * chunk + 7);
    }

    void gzipChunkBoundaries() {
        QFETCH(QByteArray, data);
        QTemporaryFile file;
        QVERIFY(file.open());
        {
            // More threads than this machine may have cores: chunks finish out of order.
            cfr::ParallelGzip gzip(file.handle(), 3);
            QVERIFY(gzip.start());
            for (int at = 0; at < data.size(); at += 10000) // pieces across the boundaries
                QVERIFY(gzip.write(data.constData() + at, std::min(10000, int(data.size()) - at)));
            QVERIFY(gzip.finish());
        }
        QCOMPARE(runTool("gzip", {"-t", file.fileName()}).exitCode, 0);
        const QByteArray stream = testing::readFile(file.fileName());
        QVERIFY(zlib(stream, true) == data);
        const int single = zlib(data, false).size();
        QVERIFY2(stream.size() <= single * 1.01 + 16,
                 qPrintable(QStringLiteral("%1 vs %2").arg(stream.size()).arg(single)));
    }
};

QTEST_GUILESS_MAIN(ParallelWritersTest)
#include "tst_parallel_writers.moc"
