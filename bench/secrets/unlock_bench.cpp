// Times VaultAuth::unlock with the default iteration count, which runs on the GUI thread.
// Usage: coffret-bench-unlock [attempts]
#include "secrets/vault_auth.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

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

    std::vector<double> millis;
    QElapsedTimer timer;
    for (int i = 0; i < attempts; ++i) {
        // Alternate right and wrong passwords: both must cost the same full derivation.
        const QString guess = i % 2 ? QStringLiteral("wrong") : "correct horse battery staple";
        timer.start();
        const bool opened = vault.unlock(guess);
        millis.push_back(timer.nsecsElapsed() / 1e6);
        if (opened == bool(i % 2))
            return 2;
    }
    std::sort(millis.begin(), millis.end());
    QTextStream(stdout) << "unlock, " << VaultAuth::defaultIterations << " rounds, " << attempts
                        << " attempts: min " << millis.front() << " ms, median "
                        << millis[millis.size() / 2] << " ms, max " << millis.back() << " ms\n";
    return 0;
}
