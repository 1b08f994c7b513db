// The coffret program: the windowed interface, or a job started from the file manager.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/graphical.h"
#include "app/startup.h"
#include "core/cfr.h"
#include "jobs/archive_worker.h"
#include "secrets/user_data.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace {

// One line instead of Qt's abort, and the exit code the caller expects.
int refuseWithoutDisplay(int argc, char* argv[], const char* line) {
    std::fputs(line, stderr);
    // A job from the file manager always reports success to its caller.
    return commandForm(argc, argv) == CommandForm::Graphical ? 1 : 0;
}

int runApplication(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setApplicationIdentity();
    discoverP7zipPlugin(QCoreApplication::applicationDirPath());
    // Archive names from before UTF-8 are read in the user's language, not the program's.
    cfr::setNameLanguage(QLocale::system().name().toUtf8().constData());
    installTranslations(app, QString::fromLocal8Bit(argv[0]));
    UserData::instance()->load();
    QGuiApplication::setQuitOnLastWindowClosed(false);

    const CommandForm form = commandForm(argc, argv);
    if (form == CommandForm::Graphical)
        return runGraphical(app);
    runCommandLine(app, form, argc, argv);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (!displayConfigured(argc, argv))
        return refuseWithoutDisplay(argc, argv,
                                    "Coffret needs a graphical session: neither DISPLAY nor "
                                    "WAYLAND_DISPLAY is set.\n");
    if (!displayAnswers(argc, argv))
        return refuseWithoutDisplay(argc, argv,
                                    "Coffret needs a graphical session: no display server "
                                    "answers at DISPLAY or WAYLAND_DISPLAY.\n");

    const int code = runApplication(argc, argv);
    // A job abandoned after a cancel may still be stuck in a library call. Everything the
    // program keeps is saved already; the process ends without waiting for the job.
    if (ArchiveWorker::jobsRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
