// Start-up of the real desktop window over a 1,000-item library: from starting the coffret
// program to its first rendered frame, on a private X server, as the scene graph's own
// frame log reports it.
// Usage: coffret-bench-window   (needs Xvfb; exits 1 when the median is over 1 s)
#include "app/startup.h"
#include "library_fixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int LibraryItems = 1000;
constexpr int Rounds = 5;

// Milliseconds from starting the program to its first frame; negative when none came.
double firstFrame(const QProcessEnvironment& env) {
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    program.start(QStringLiteral(COFFRET_PROGRAM), QStringList());
    double elapsed = -1;
    while (elapsed < 0 && program.waitForReadyRead(20000)) {
        if (program.readAll().contains("Frame rendered"))
            elapsed = timer.nsecsElapsed() / 1e6;
    }
    program.kill();
    program.waitForFinished();
    return elapsed;
}

bool startXvfb(QProcess& server, QProcessEnvironment& env) {
    for (int n = 640; n < 660; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        server.start("Xvfb", {QStringLiteral(":%1").arg(n), "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp", "-noreset"});
        // A server that cannot have this display gives up within the second.
        if (!server.waitForStarted(5000) || server.waitForFinished(1000))
            continue;
        env.insert("DISPLAY", QStringLiteral(":%1").arg(n));
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // this process shows nothing itself
    QGuiApplication app(argc, argv);
    setApplicationIdentity(); // library.json goes where the program will look for it
    QTemporaryDir home;
    if (!home.isValid() || writeLibraryFixture(home.path(), LibraryItems).isEmpty()) {
        std::printf("cannot write the library\n");
        return 2;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_QUICK_BACKEND", "software");
    env.insert("QSG_RENDER_TIMING", "1");
    env.insert("QT_LOGGING_RULES", "qt.scenegraph.time.renderloop=true");
    env.remove("COFFRET_MOBILE");
    QProcess server;
    if (!startXvfb(server, env)) {
        std::printf("Xvfb does not start\n");
        return 2;
    }
    QVector<double> times;
    for (int round = 0; round < Rounds; ++round)
        times << firstFrame(env);
    server.terminate();
    server.waitForFinished();
    std::sort(times.begin(), times.end());
    const double median = times.at(Rounds / 2);
    std::printf("program start to first frame, %d-item library, median of %d: %.0f ms "
                "(best %.0f ms, worst %.0f ms; goal < 1000 ms)\n",
                LibraryItems, Rounds, median, times.first(), times.last());
    return times.first() >= 0 && median < 1000 ? 0 : 1;
}
