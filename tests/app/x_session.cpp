#include "x_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

XSession::~XSession() {
    server_.terminate();
    server_.waitForFinished(5000);
}

QString XSession::program() {
    return qEnvironmentVariable("COFFRET_PROGRAM",
                                QStringLiteral(COFFRET_BINARY_DIR "/app/coffret"));
}

bool XSession::start() {
    // Xvfb claims a free display itself and writes its number once it accepts clients.
    // -noreset: else it restarts, refusing clients, each time a finished program leaves.
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                           "-noreset"});
    QByteArray number;
    while (!number.endsWith('\n') && server_.waitForReadyRead(30000))
        number += server_.readAllStandardOutput();
    if (!number.trimmed().isEmpty())
        display_ = ':' + QString::fromLatin1(number.trimmed());
    return !display_.isEmpty();
}

QProcessEnvironment XSession::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_QUICK_BACKEND", "software");
    env.remove("COFFRET_MOBILE");
    return env;
}

QByteArray XSession::x(const QString& tool, const QStringList& args) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, args);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

void XSession::launch(QProcess& process, const QStringList& args,
                      const QProcessEnvironment& env) const {
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program(), args);
    process.waitForStarted(10000);
}

bool XSession::finishedWithZero(QProcess& process) {
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(15000)) {
        stop(process);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void XSession::stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}

XWindow XSession::waitForWindow(const QString& title, int width, int timeoutMs,
                                const QString& except) const {
    QElapsedTimer clock;
    clock.start();
    const QRegularExpression geometry("Geometry: (\\d+)x(\\d+)");
    XWindow candidate;
    while (clock.elapsed() < timeoutMs) {
        const QByteArray ids = x("xdotool", {"search", "--onlyvisible", "--name", title});
        for (const QByteArray& id : ids.split('\n')) {
            if (id.trimmed().isEmpty() || id.trimmed() == except.toLatin1())
                continue;
            const QRegularExpressionMatch match = geometry.match(
                QString::fromLatin1(x("xdotool", {"getwindowgeometry", QString::fromLatin1(id)})));
            if (!match.hasMatch() || (width > 0 && match.captured(1).toInt() != width))
                continue;
            const XWindow found{QString::fromLatin1(id.trimmed()),
                                QSize(match.captured(1).toInt(), match.captured(2).toInt())};
            if (found.id == candidate.id && found.size == candidate.size)
                return found;
            candidate = found;
        }
        QTest::qWait(150);
    }
    return {};
}

bool XSession::isShown(const XWindow& window) const {
    return x("xdotool", {"search", "--onlyvisible", "--name", "."})
        .split('\n')
        .contains(window.id.toLatin1());
}

void XSession::clickAt(const XWindow& window, int px, int py, int button) const {
    x("xdotool", {"mousemove", "--window", window.id, QString::number(px), QString::number(py),
                  "click", QString::number(button)});
}

void XSession::type(const XWindow& window, const QString& text, const QStringList& keys) const {
    x("xdotool", {"windowfocus", "--sync", window.id});
    if (!text.isEmpty())
        x("xdotool", {"type", "--delay", "30", text});
    for (const QString& name : keys)
        x("xdotool", {"key", name});
}

void XSession::screenshot(const XWindow& window, const QString& name) const {
    const QString folder = qEnvironmentVariable("COFFRET_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QTest::qWait(400); // let animations settle
    x("import", {"-window", window.id, folder + '/' + name + ".png"});
}

// Last, as Xlib's macros (None, Bool, Status...) would clash with the Qt headers above.
#include <X11/Xlib.h>

bool XSession::closeLikeTitleBar(const XWindow& window) const {
    Display* connection = XOpenDisplay(display_.toLatin1().constData());
    if (!connection)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.id.toULong();
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(connection, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(connection); // flushes the request
    return sent;
}
