// Times a cancel as the interface sees it: from PackController::cancel() to its cancelled()
// signal, for a large pack in each writer, cancelled at a chosen point of the job.
// Usage: coffret-bench-cancel [MiB] [repeat]
#include "core/cfr.h"
#include "core/p7/p7_backend.h"
#include "jobs/pack_controller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

bool writeNoise(const QString& path, qint64 mebibytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (qint64 i = 0; i < mebibytes; ++i) {
        generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

// Milliseconds from cancel() to cancelled(), or -1 when the job ended some other way.
double cancelLatency(PackController& controller, const QString& input, const QString& dest,
                     const QString& password, double at) {
    QElapsedTimer clock;
    double millis = -1;
    QObject context;
    QObject::connect(&controller, &PackController::firstProgressChanged, &context, [&] {
        const double progress = controller.twoStage()
                                    ? (controller.firstProgress() + controller.secondProgress()) / 2
                                    : controller.firstProgress();
        if (!clock.isValid() && progress >= at) {
            clock.start();
            controller.cancel();
        }
    });
    QObject::connect(&controller, &PackController::cancelled, &context,
                     [&] { millis = clock.nsecsElapsed() / 1e6; });
    QObject::connect(&controller, &PackController::isRunningChanged, &context, [&] {
        if (!controller.isRunning())
            QCoreApplication::quit();
    });
    controller.packPaths({input}, dest, password);
    QCoreApplication::exec();
    QFile::remove(dest);
    return millis;
}

QString summary(std::vector<double> millis) {
    if (std::find(millis.begin(), millis.end(), -1.0) != millis.end())
        return QStringLiteral("not cancelled");
    std::sort(millis.begin(), millis.end());
    return QStringLiteral("median %1 ms, max %2 ms")
        .arg(millis[millis.size() / 2], 0, 'f', 1)
        .arg(millis.back(), 0, 'f', 1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 mebibytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 256;
    const int repeat = argc > 2 ? qMax(1, QByteArray(argv[2]).toInt()) : 3;
    QTemporaryDir work;
    const QString input = work.filePath("noise.bin");
    if (!work.isValid() || mebibytes < 1 || !writeNoise(input, mebibytes))
        return 1;
    cfr::setTempDir(work.path().toUtf8().constData());

    struct Writer {
        const char* suffix;
        const char* password;
    };
    const Writer writers[] = {{".tar.gz", ""}, {".tar.xz", ""}, {".zst", ""},  {".7z", ""},
                              {".7z", "pw"},   {".zip", ""},    {".cfr", "pw"}};
    QTextStream out(stdout);
    out << "cancel() to cancelled(), " << mebibytes << " MiB of noise, " << repeat
        << " runs each\n";
    PackController controller;
    for (const Writer& writer : writers) {
        if (*writer.password && QByteArray(writer.suffix) == ".7z" && !cfr::p7Available())
            continue;
        for (double at : {0.1, 0.75}) {
            std::vector<double> millis;
            for (int i = 0; i < repeat; ++i)
                millis.push_back(cancelLatency(
                    controller, input, work.filePath("out") + writer.suffix, writer.password, at));
            out << writer.suffix << (*writer.password ? " (password)" : "") << " at "
                << int(at * 100) << "%: " << summary(millis) << "\n";
            out.flush();
        }
    }
    return 0;
}
