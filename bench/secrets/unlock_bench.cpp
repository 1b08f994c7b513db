// Times VaultAuth::unlock with the default iteration count, which runs on the GUI thread.
// Usage: coffret-bench-unlock [attempts]
#include "secrets/vault_auth.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <time.h>

#include <algorithm>
#include <vector>

namespace {

// CPU time of this thread: unlike the wall clock it does not grow when other work shares
// the processor.
double threadCpuMillis() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

QString summary(std::vector<double> millis) {
    std::sort(millis.begin(), millis.end());
    return QStringLiteral("min %1 ms, median %2 ms, max %3 ms")
        .arg(millis.front(), 0, 'f', 1)
        .arg(millis[millis.size() / 2], 0, 'f', 1)
        .arg(millis.back(), 0, 'f', 1);
}

} // namespace

int main(int argc, char** argv) {
    // The settings store must never be the user's own: point it at a throw-away folder
    // before anything opens it.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    QCoreApplication app(argc, argv);

    const int attempts = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 20;
    VaultAuth vault;
    if (!vault.setMasterPassword(QStringLiteral("correct horse battery staple")))
        return 1;

    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer timer;
    for (int i = 0; i < attempts; ++i) {
        // Alternate right and wrong passwords: both must cost the same full derivation.
        const QString guess = i % 2 ? QStringLiteral("wrong") : "correct horse battery staple";
        const double cpuStart = threadCpuMillis();
        timer.start();
        const bool opened = vault.unlock(guess);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMillis() - cpuStart);
        if (opened == bool(i % 2))
            return 2;
    }
    QTextStream(stdout) << "unlock, " << VaultAuth::defaultIterations << " rounds, " << attempts
                        << " attempts\n  wall: " << summary(wall) << "\n  cpu:  " << summary(cpu)
                        << "\n";
    return 0;
}
