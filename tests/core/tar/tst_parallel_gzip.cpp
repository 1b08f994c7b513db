// The gzip stream compressed on several threads, against zlib and gzip around its chunk
// boundaries.
#include "tar/parallel_gzip.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr int kChunk = int(cfr::ParallelGzip::kDefaultChunk);

QByteArray text(int size) {
    QByteArray bytes;
    for (int i = 0; bytes.size() < size; ++i)
        bytes += "entry " + QByteArray::number(i % 977 * 31) + " repeats, mostly\n";
    return bytes.left(size);
}

QByteArray gunzip(const QByteArray& stream) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return "inflateInit2 failed";
    QByteArray out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData()));
    z.avail_in = uInt(stream.size());
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, int(sizeof buffer - z.avail_out));
    }
    const bool whole = result == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return whole ? out : "damaged: " + QByteArray::number(result);
}

// zlib's own gzip of the same bytes, on one thread at the same level.
int zlibSize(const QByteArray& data) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), 0);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    const int size = int(z.total_out);
    deflateEnd(&z);
    return size;
}

} // namespace

class ParallelGzipTest : public QObject {
    Q_OBJECT

private slots:
    void readsBackAsOneStream_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray("x");
        QTest::newRow("exactly one chunk") << text(kChunk);
        QTest::newRow("one chunk and a byte") << text(kChunk + 1);
        QTest::newRow("many chunks of text") << text(20 * kChunk + 12345);
        QTest::newRow("incompressible") << testing::noiseBytes(5 * kChunk + 7);
    }

    void readsBackAsOneStream() {
        QFETCH(QByteArray, data);
        QTemporaryDir tmp;
        const QString path = tmp.filePath("out.gz");
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        {
            // More threads than this machine may have cores: chunks finish out of order.
            cfr::ParallelGzip gzip(fd, 3);
            QVERIFY(gzip.start());
            // Pieces that straddle the chunk boundaries.
            for (int at = 0; at < data.size(); at += 10000)
                QVERIFY(gzip.write(data.constData() + at, std::min(10000, int(data.size()) - at)));
            QVERIFY(gzip.finish());
        }
        QCOMPARE(::close(fd), 0);
        const auto tested = testing::runTool("gzip", {"-t", path});
        QVERIFY2(tested.exitCode == 0, tested.out.constData());
        const QByteArray stream = testing::readFile(path);
        QVERIFY(gunzip(stream) == data);
        QVERIFY2(stream.size() <= zlibSize(data) * 1.01 + 16,
                 qPrintable(QStringLiteral("%1 vs %2").arg(stream.size()).arg(zlibSize(data))));
    }
};

QTEST_GUILESS_MAIN(ParallelGzipTest)
#include "tst_parallel_gzip.moc"
