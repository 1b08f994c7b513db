// The coffret program: the windowed interface, or a job started from the file manager.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/graphical.h"
#include "app/startup.h"
#include "core/cfr.h"
#include "secrets/user_data.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (!displayConfigured(argc, argv)) {
        std::fputs("Coffret needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is "
                   "set.\n",
                   stderr);
        // A job from the file manager always reports success to its caller.
        return commandForm(argc, argv) == CommandForm::Graphical ? 1 : 0;
    }

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
