#include "x_session.h"

#include "test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

XSession::~XSession() {
    server_.terminate();
    server_.waitForFinished(5000);
}

bool XSession::start() {
    // Away from the usual :0 and :99; a server that cannot start fails after twenty numbers.
    const int first = 100 + int(QCoreApplication::applicationPid() % 700);
    for (int n = first; display_.isEmpty() && n < first + 20; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        const QString display = QStringLiteral(":%1").arg(n);
        // -noreset: else it restarts, refusing clients, each time a finished program leaves.
        server_.start("Xvfb",
                      {display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"});
        if (!server_.waitForStarted(10000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (server_.state() == QProcess::Running && clock.elapsed() < 15000 &&
               testing::runTool("xdpyinfo", {"-display", display}).exitCode != 0)
            QTest::qWait(100);
        if (server_.state() == QProcess::Running)
            display_ = display;
    }
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

void XSession::launch(QProcess& process, const QString& program, const QStringList& args,
                      const QProcessEnvironment& env) const {
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, args);
    process.waitForStarted(10000);
}

XWindow XSession::waitForWindow(const QString& title, int width, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    const QRegularExpression geometry("Geometry: (\\d+)x(\\d+)");
    XWindow candidate;
    while (clock.elapsed() < timeoutMs) {
        const QByteArray ids = x("xdotool", {"search", "--onlyvisible", "--name", title});
        for (const QByteArray& id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
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

void XSession::key(const XWindow& window, const QString& name) const {
    type(window, QString(), {name});
}

void XSession::screenshot(const XWindow& window, const QString& name) const {
    const QString folder = qEnvironmentVariable("COFFRET_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QTest::qWait(400); // let animations settle
    x("import", {"-window", window.id, folder + '/' + name + ".png"});
}
