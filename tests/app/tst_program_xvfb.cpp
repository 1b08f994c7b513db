// The real coffret program on a private X server, used the way a person would: windows found
// by title, clicked with the mouse and typed into with xdotool, the clipboard read back with
// xclip, and photographed for the README when COFFRET_SCREENSHOT_DIR is set. First the jobs a
// file manager starts, then the desktop window: master password, import through the file
// dialog, unlock, pack two files as a package from the Pack tab, restart.
#include "cfr.h"
#include "pack_files.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct XWindow {
    QString id;
    QSize size;
    bool isValid() const { return !id.isEmpty(); }
};

// The program beside the build, or an installed copy (scripts/check-install.sh).
QString program() {
    return qEnvironmentVariable("COFFRET_PROGRAM",
                                QStringLiteral(COFFRET_BINARY_DIR "/app/coffret"));
}

void stop(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}

// True when the program ended by itself with code 0; otherwise it is killed.
bool finishedWithZero(QProcess& process) {
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(15000)) {
        stop(process);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

class XSession {
public:
    ~XSession() {
        server_.terminate();
        server_.waitForFinished(5000);
    }

    // Starts Xvfb on a free display; false when none starts. Xvfb claims a free display
    // itself and writes its number once it accepts clients. -noreset: else it restarts,
    // refusing clients, each time a finished program leaves.
    bool start() {
        server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
                               "tcp", "-noreset"});
        QByteArray number;
        while (!number.endsWith('\n') && server_.waitForReadyRead(30000))
            number += server_.readAllStandardOutput();
        if (!number.trimmed().isEmpty())
            display_ = ':' + QString::fromLatin1(number.trimmed());
        return !display_.isEmpty();
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QT_QUICK_BACKEND", "software");
        env.remove("COFFRET_MOBILE");
        return env;
    }
    QByteArray x(const QString& tool, const QStringList& args) const {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(tool, args);
        process.waitForFinished(10000);
        return process.readAllStandardOutput();
    }
    void launch(QProcess& process, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment()) const {
        process.setProcessEnvironment(env.isEmpty() ? environment() : env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program(), args);
        process.waitForStarted(10000);
    }

    // The shown window whose title matches and whose width is `width` (any when 0), once its
    // size has settled (the result window fits its height to the message just after it is
    // shown); never the window `except`.
    XWindow waitForWindow(const QString& title, int width, int timeoutMs = 15000,
                          const QString& except = QString()) const {
        QElapsedTimer clock;
        clock.start();
        const QRegularExpression geometry("Geometry: (\\d+)x(\\d+)");
        XWindow candidate;
        while (clock.elapsed() < timeoutMs) {
            const QByteArray ids = x("xdotool", {"search", "--onlyvisible", "--name", title});
            for (const QByteArray& id : ids.split('\n')) {
                if (id.trimmed().isEmpty() || id.trimmed() == except.toLatin1())
                    continue;
                const QRegularExpressionMatch match = geometry.match(QString::fromLatin1(
                    x("xdotool", {"getwindowgeometry", QString::fromLatin1(id)})));
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
    bool isShown(const XWindow& window) const {
        return x("xdotool", {"search", "--onlyvisible", "--name", "."})
            .split('\n')
            .contains(window.id.toLatin1());
    }
    void clickAt(const XWindow& window, int px, int py, int button = 1) const {
        x("xdotool", {"mousemove", "--window", window.id, QString::number(px), QString::number(py),
                      "click", QString::number(button)});
    }
    // Focuses the window and types the text, then presses the keys ("Return", "Tab").
    void type(const XWindow& window, const QString& text, const QStringList& keys = {}) const {
        x("xdotool", {"windowfocus", "--sync", window.id});
        if (!text.isEmpty())
            x("xdotool", {"type", "--delay", "30", text});
        for (const QString& name : keys)
            x("xdotool", {"key", name});
    }
    void key(const XWindow& window, const QString& key) const { type(window, QString(), {key}); }
    // Saves the window as NAME.png when COFFRET_SCREENSHOT_DIR is set.
    void screenshot(const XWindow& window, const QString& name) const {
        const QString folder = qEnvironmentVariable("COFFRET_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        QTest::qWait(400); // let animations settle
        x("import", {"-window", window.id, folder + '/' + name + ".png"});
    }
    // Asks the window to close the way a window manager does when the title bar's close
    // button is pressed (WM_DELETE_WINDOW); the server runs no window manager.
    bool closeLikeTitleBar(const XWindow& window) const;

private:
    QProcess server_;
    QString display_;
};

// Where the desktop window's controls are: fixed sizes of an 860 x 520 window.
const QPoint firstVaultRow(300, 72), importButton(808, 493), packTab(150, 22), filesButton(92, 489),
    packButton(804, 489), menuButton(28, 493), unlockButton(430, 348);

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void formsThatExitAtOnce_data();
    void formsThatExitAtOnce();
    void zipWithoutPrompt();
    void packageWithRandomPasswordFromTheClipboard();
    void largeJobCancelled_data();
    void largeJobCancelled();
    void desktopImportUnlockPackAndRestart();

private:
    void pressOk(const XWindow& window, bool resultWindow) const;
    void click(const XWindow& window, QPoint at, int button = 1) const {
        x_.clickAt(window, at.x(), at.y(), button);
    }

    testing::TemporaryHome home_;
    XSession x_;
    QTemporaryDir work_;
};

void ProgramTest::initTestCase() {
    QVERIFY(QFileInfo::exists(program()));
    QVERIFY(home_.isValid());
    QVERIFY2(x_.start(), "Xvfb does not start on any free display");
}

// OK sits at the bottom: full width in the password window, at the right in the result one.
// Like a person, the robot clicks again when the window is still there a moment later.
void ProgramTest::pressOk(const XWindow& window, bool resultWindow) const {
    for (int attempt = 0; attempt < 5 && x_.isShown(window); ++attempt) {
        if (resultWindow)
            x_.clickAt(window, window.size.width() - 12 - 44, window.size.height() - 12 - 17);
        else
            x_.clickAt(window, window.size.width() / 2, window.size.height() - 24 - 20);
        for (int wait = 0; wait < 10 && x_.isShown(window); ++wait)
            QTest::qWait(200);
    }
}

void ProgramTest::formsThatExitAtOnce_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("display"); // "ours": the test's server
    QTest::addColumn<int>("exitCode");
    // A display number no server listens on.
    int dead = 900;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(dead)))
        ++dead;
    QTest::newRow("upper-case flag") << QStringList{"XC", "/tmp", "a.zip"} << "ours" << 0;
    QTest::newRow("no display, main window") << QStringList{} << "" << 1;
    QTest::newRow("display not answering, context-menu job")
        << QStringList{"-xc", "/tmp", "a.zip"} << QStringLiteral(":%1").arg(dead) << 0;
}

void ProgramTest::formsThatExitAtOnce() {
    QFETCH(QStringList, args);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QProcessEnvironment env = x_.environment();
    if (display != "ours") {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program(), args);
    QVERIFY2(process.waitForFinished(10000), "did not exit at once");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    if (display != "ours")
        QVERIFY(process.readAllStandardError().contains("needs a graphical session"));
}

// Double-clicked, with its folder name taken.
void ProgramTest::zipWithoutPrompt() {
    const QString dir = work_.path() + "/zip";
    const QByteArray photo = testing::noiseBytes(50000, 2);
    testing::writeFile(dir + "/photo.jpg", photo);
    QCOMPARE(testing::runTool("zip", {"-qj", dir + "/photos.zip", dir + "/photo.jpg"}).exitCode, 0);
    QDir().mkpath(dir + "/photos");

    QProcess process;
    x_.launch(process, {dir + "/photos.zip"});
    const XWindow result = x_.waitForWindow("^Coffret$", 380);
    QVERIFY(result.isValid());
    QVERIFY(!x_.waitForWindow(QString::fromUtf8("^密码$"), 360, 100).isValid());
    x_.screenshot(result, "result");
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));
    QCOMPARE(testing::readFile(dir + "/photos (1)/photo.jpg"), photo);
}

void ProgramTest::packageWithRandomPasswordFromTheClipboard() {
    const QString dir = work_.path() + "/cfr";
    // Big enough for the progress window to be seen.
    const QByteArray album = testing::noiseBytes(40 * 1024 * 1024, 9);
    testing::writeFile(dir + "/album.bin", album);

    QProcess process;
    x_.launch(process, {"-p", dir, dir + "/album.bin"});
    const XWindow prompt = x_.waitForWindow(QString::fromUtf8("^密码$"), 360);
    QVERIFY(prompt.isValid());
    x_.screenshot(prompt, "password");
    pressOk(prompt, false);

    const XWindow progress = x_.waitForWindow("^Coffret$", 480, 5000);
    if (progress.isValid())
        x_.screenshot(progress, "progress");
    const XWindow result = x_.waitForWindow("^Coffret$", 380, 60000);
    QVERIFY(result.isValid());
    // The clipboard belongs to the running program: read it before it ends.
    const QString password = QString::fromUtf8(x_.x("xclip", {"-o", "-selection", "clipboard"}));
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));

    QCOMPARE(password.size(), 16);
    const QString out = dir + "/out";
    QCOMPARE(cfr::extract((dir + "/album.cfr").toUtf8().constData(), out.toUtf8().constData(),
                          password.toUtf8().constData(), nullptr, nullptr),
             int(cfr::Ok));
    QCOMPARE(testing::readFile(out + "/album.bin"), album);
}

void ProgramTest::largeJobCancelled_data() {
    QTest::addColumn<bool>("byTitleBar");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("title bar, answered yes") << true;
}

// Long enough that the job is still running whatever the machine's load: xz takes seconds
// for each of these incompressible megabytes.
void ProgramTest::largeJobCancelled() {
    QFETCH(bool, byTitleBar);
    const QString dir = work_.path() + "/cancel " + QTest::currentDataTag();
    testing::writeFile(dir + "/album.bin", testing::noiseBytes(96 * 1024 * 1024, 3));

    QProcess process;
    x_.launch(process, {"-pk", ".tar.xz", "0", dir, dir + "/album.bin"});
    const XWindow progress = x_.waitForWindow("^Coffret$", 480);
    QVERIFY(progress.isValid());
    if (byTitleBar) {
        QVERIFY(x_.closeLikeTitleBar(progress));
        const XWindow question = x_.waitForWindow("^Coffret$", 0, 10000, progress.id);
        QVERIFY(question.isValid());
        x_.type(question, QString(), {"y"});
    } else {
        x_.clickAt(progress, progress.size.width() - 24 - 44, progress.size.height() - 24 - 17);
    }
    // No result window: the process ends by itself.
    QVERIFY(finishedWithZero(process));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"album.bin"});
}

// The desktop's file handler is a stand-in xdg-open that writes down what it was given. A
// fresh HOME of its own: the vault starts empty and locked.
void ProgramTest::desktopImportUnlockPackAndRestart() {
    const testing::TemporaryHome home;
    const QString dir = work_.path() + "/desktop";
    QVERIFY(
        testing::writeFile(dir + "/bin/xdg-open", "#!/bin/sh\necho \"$1\" >> \"$OPENED_LOG\"\n"));
    QFile(dir + "/bin/xdg-open").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    testing::writeFile(dir + "/in/a.txt", "alpha");
    testing::writeFile(dir + "/in/b.txt", "beta");
    testing::writeFile(dir + "/secret.txt", "secret");
    QVERIFY(packFiles(dir + "/Secret.cfr", {dir + "/secret.txt"}, "vault-pw"));
    const QString master = QStringLiteral("master-1");
    auto startMainWindow = [&](QProcess& process) {
        QProcessEnvironment env = x_.environment();
        env.insert("PATH", dir + "/bin:" + env.value("PATH"));
        env.insert("OPENED_LOG", dir + "/opened.log");
        x_.launch(process, {}, env);
        return x_.waitForWindow("^Coffret$", 860, 60000); // a sanitized build starts slowly
    };
    // Answers the file dialog with that title by typing into its name field.
    auto answerFileDialog = [&](const QString& title, const QString& answer) {
        const XWindow dialog = x_.waitForWindow(title, 0, 30000);
        QVERIFY2(dialog.isValid(), qPrintable(title));
        x_.type(dialog, answer, {"Return"});
        QTRY_VERIFY_WITH_TIMEOUT(!x_.isShown(dialog), 30000);
    };
    auto opened = [&] {
        return QString::fromUtf8(testing::readFile(dir + "/opened.log"))
            .split('\n', Qt::SkipEmptyParts)
            .replaceInStrings(QRegularExpression("^file://"), QString());
    };

    QProcess first;
    const XWindow window = startMainWindow(first);
    QVERIFY(window.isValid());
    x_.screenshot(window, "master-password");
    x_.type(window, master, {"Tab"});
    x_.type(window, master, {"Return"});
    x_.screenshot(window, "vault-empty");

    click(window, importButton);
    answerFileDialog(QString::fromUtf8("将压缩包导入保险库"), dir + "/Secret.cfr");
    const XWindow prompt = x_.waitForWindow(QString::fromUtf8("^密码$"), 360, 30000);
    QVERIFY(prompt.isValid());
    x_.type(prompt, "vault-pw", {"Return"});
    QTRY_COMPARE_WITH_TIMEOUT(opened().size(), 1, 30000);
    const QString extraction = opened().at(0);
    QCOMPARE(testing::readFile(extraction + "/secret.txt"), QByteArray("secret"));
    x_.screenshot(window, "vault");
    click(window, firstVaultRow, 3);
    x_.screenshot(window, "row-menu");
    x_.key(window, "Escape");

    click(window, packTab);
    x_.screenshot(window, "pack-empty");
    click(window, filesButton);
    answerFileDialog(QString::fromUtf8("选择要打包的文件"),
                     QString("\"%1/a.txt\" \"%1/b.txt\"").arg(dir + "/in"));
    x_.screenshot(window, "pack-files");
    click(window, packButton);
    answerFileDialog(QString::fromUtf8("保存打包文件"), dir + "/two.zip");
    const XWindow packPrompt = x_.waitForWindow(QString::fromUtf8("^密码$"), 360, 30000);
    QVERIFY(packPrompt.isValid());
    x_.key(packPrompt, "Return");             // the random password, copied to the clipboard on OK
    const QString package = dir + "/two.cfr"; // the format's suffix, not ".zip"
    const QString index = home.path() + "/.local/share/Coffret/library.json";
    QTRY_VERIFY_WITH_TIMEOUT(testing::readFile(index).contains("two.cfr"), 30000);
    const QString password = QString::fromUtf8(x_.x("xclip", {"-o", "-selection", "clipboard"}));
    x_.key(window, "Escape"); // closes the success message
    click(window, menuButton);
    x_.key(window, "Down");
    x_.key(window, "Return");
    const XWindow manager = x_.waitForWindow(QString::fromUtf8("^密码管理$"), 0, 30000);
    QVERIFY(manager.isValid());
    x_.screenshot(manager, "password-manager");
    stop(first);

    // The package holds one encrypted zip, which holds the two files.
    const QString outer = dir + "/outer";
    QCOMPARE(testing::runTool("7z", {"x", "-p" + password, "-o" + outer, package}).exitCode, 0);
    const QStringList inner = QDir(outer).entryList(QDir::Files);
    QCOMPARE(inner.size(), 1);
    const QByteArray listing = testing::runTool("7z", {"l", outer + '/' + inner.at(0)}).out;
    QVERIFY(listing.contains("a.txt") && listing.contains("b.txt"));

    QProcess second;
    const XWindow again = startMainWindow(second);
    QVERIFY(again.isValid());
    x_.key(again, "Escape");
    x_.screenshot(again, "lock-screen");
    click(again, unlockButton);
    x_.type(again, master, {"Return"});
    click(again, firstVaultRow);
    click(again, firstVaultRow); // a double-click: the intact extraction opens as it is
    QTRY_COMPARE_WITH_TIMEOUT(opened(), (QStringList{extraction, extraction}), 15000);
    click(again, menuButton);
    for (const char* key : {"Down", "Down", "Down", "Return"})
        x_.key(again, key);
    const XWindow about = x_.waitForWindow(QString::fromUtf8("^关于 Coffret$"), 0, 30000);
    QVERIFY(about.isValid());
    x_.screenshot(about, "about");
    stop(second);
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program_xvfb.moc"

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
