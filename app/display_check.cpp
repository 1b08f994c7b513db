#include "app/display_check.h"

#include <QByteArray>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstring>
#include <memory>

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

struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// The connection that answered stays open while the program runs. An X server whose last
// client leaves resets, and refuses connections meanwhile (a bare Xvfb, or xinit starting
// Coffret alone): Qt's own connection, made right after, would fail and abort the program.
XcbConnection& heldConnection() {
    static XcbConnection held;
    return held;
}

bool xServerAnswers() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    XcbConnection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0)
        return false;
    heldConnection() = std::move(connection);
    return true;
}

bool waylandAnswers() {
    QByteArray socketPath = qgetenv("WAYLAND_DISPLAY");
    if (socketPath.isEmpty())
        return false;
    if (!socketPath.startsWith('/'))
        socketPath = qgetenv("XDG_RUNTIME_DIR") + '/' + socketPath;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(socketPath.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

} // namespace

bool displayConfigured(int argc, const char* const* argv) {
    if (!needsWindowSystem(requestedPlatform(argc, argv)))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool displayAnswers(int argc, const char* const* argv) {
    const QByteArray platform = requestedPlatform(argc, argv);
    if (!needsWindowSystem(platform))
        return true;
    if (platform.startsWith("wayland"))
        return waylandAnswers();
    if (platform.startsWith("xcb"))
        return xServerAnswers();
    return xServerAnswers() || waylandAnswers();
}
