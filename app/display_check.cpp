#include "app/display_check.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

namespace {

QByteArray requestedPlatform(int argc, const char* const* argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            return QByteArray(argv[i + 1]);
    }
    return qgetenv("QT_QPA_PLATFORM");
}

bool needsWindowSystem(const QByteArray& platform) {
    return platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
}

} // namespace

bool displayConfigured(int argc, const char* const* argv) {
    if (!needsWindowSystem(requestedPlatform(argc, argv)))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
