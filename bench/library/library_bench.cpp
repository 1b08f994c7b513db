// Measures the library's two costly paths:
//  1. the file digest of a 256 MiB archive against sha256sum on the same (cached) file;
//  2. load + refresh of a 1,000-item library.json in which no digest is missing.
// Usage: coffret-bench-library [work folder]   (default: a fresh temporary folder)
// Exits 1 when a goal is missed: digest below 90% of sha256sum's speed, or load over 100 ms.
#include "library/file_digest.h"
#include "library/library_index.h"
#include "library_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 ArchiveSize = 256ll * 1024 * 1024;
constexpr int LibraryItems = 1000;
constexpr int Rounds = 5;

bool writeNoise(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator generator(42);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= block.size()) {
        generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        if (file.write(block.constData(), std::min<qint64>(left, block.size())) < 0)
            return false;
    }
    return true;
}

QString sha256sum(const QString& path) {
    QProcess tool;
    tool.start("sha256sum", {path});
    tool.waitForFinished(-1);
    return QString::fromLatin1(tool.readAllStandardOutput().left(64));
}

double median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

bool benchDigest(const QString& folder) {
    const QString path = folder + "/archive.bin";
    if (!writeNoise(path, ArchiveSize)) {
        std::printf("cannot write %s\n", qPrintable(path));
        return false;
    }
    sha256sum(path); // both sides read from the page cache
    QVector<double> ours, theirs;
    QString ourDigest, theirDigest;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        theirDigest = sha256sum(path);
        theirs << timer.nsecsElapsed() / 1e6;
        timer.restart();
        ourDigest = fileDigest(path);
        ours << timer.nsecsElapsed() / 1e6;
    }
    QFile::remove(path);
    const double mib = ArchiveSize / double(1 << 20);
    const double ratio = median(theirs) / median(ours);
    std::printf("file digest, %.0f MiB, median of %d: fileDigest %.0f ms (%.0f MiB/s), "
                "sha256sum %.0f ms (%.0f MiB/s); speed ratio %.2f (goal >= 0.90)%s\n",
                mib, Rounds, median(ours), mib * 1000 / median(ours), median(theirs),
                mib * 1000 / median(theirs), ratio,
                ourDigest == theirDigest ? "" : "  DIGESTS DIFFER");
    return ratio >= 0.9 && ourDigest == theirDigest;
}

bool benchLoad(const QString& folder) {
    const QByteArray json = writeLibraryFixture(folder, LibraryItems);
    if (json.isEmpty())
        return false;

    QVector<double> times;
    int count = 0;
    for (int round = 0; round < Rounds; ++round) {
        LibraryIndex index;
        QElapsedTimer timer;
        timer.start();
        index.load();
        times << timer.nsecsElapsed() / 1e6;
        count = index.count();
    }
    std::printf("load + refresh, %d items (%lld bytes of JSON), median of %d: %.1f ms "
                "(best %.1f ms; goal < 100 ms), %d items loaded\n",
                LibraryItems, qint64(json.size()), Rounds, median(times),
                *std::min_element(times.begin(), times.end()), count);
    return median(times) < 100 && count == LibraryItems;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/bench-XXXXXX"
                                     : QString());
    if (!temporary.isValid()) {
        std::printf("cannot create a work folder\n");
        return 2;
    }
    const bool digestOk = benchDigest(temporary.path());
    const bool loadOk = benchLoad(temporary.path());
    return digestOk && loadOk ? 0 : 1;
}
