// The real coffret program on a private X server, answered the way a person would: windows
// found by title, buttons clicked with the mouse, the clipboard read back with xclip.
#include "cfr.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString program = QStringLiteral(COFFRET_BINARY_DIR "/app/coffret");

struct Window {
    QString id;
    QSize size;
    bool isValid() const { return !id.isEmpty(); }
};

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void formsThatShowNothing_data();
    void formsThatShowNothing();
    void withoutDisplay_data();
    void withoutDisplay();
    void twoArgumentsOpenTheMainWindow();
    void doubleClickedZip();
    void tarGzFromTheContextMenu();
    void packageWithRandomPasswordFromTheClipboard();
    void separateFoldersWithDismissedPrompt();

private:
    QProcessEnvironment environment() const;
    QByteArray x(const QString& tool, const QStringList& args) const;
    void start(QProcess& process, const QStringList& args) const;
    Window waitForWindow(const QString& title, int width, int timeoutMs = 15000) const;
    void clickAt(const Window& window, int x, int y) const;
    void pressOk(const Window& window, bool resultWindow) const;
    bool isShown(const Window& window) const;
    void screenshot(const Window& window, const QString& name) const;
    static bool finishedWithZero(QProcess& process);

    testing::TemporaryHome home_;
    QProcess server_;
    QString display_;
    QTemporaryDir work_;
};

void ProgramTest::initTestCase() {
    QVERIFY(QFileInfo::exists(program));
    QVERIFY(home_.isValid());
    // A display number away from the usual :0 and :99, so other X servers and their
    // clients on this machine stay out of our way. A server that cannot start at all fails
    // the test after a few numbers instead of trying every number until the time-out.
    const int first = 100 + int(QCoreApplication::applicationPid() % 700);
    for (int n = first; display_.isEmpty() && n < first + 20; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        // -noreset: the server would otherwise restart, refusing clients meanwhile, each time
        // its last client (a finished coffret) leaves.
        server_.start("Xvfb", {QStringLiteral(":%1").arg(n), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"});
        QVERIFY2(server_.waitForStarted(10000), "Xvfb does not start");
        const QString display = QStringLiteral(":%1").arg(n);
        // Ready once a client is served.
        QTRY_VERIFY_WITH_TIMEOUT(server_.state() == QProcess::NotRunning ||
                                     testing::runTool("xdpyinfo", {"-display", display}).exitCode ==
                                         0,
                                 15000);
        if (server_.state() == QProcess::Running)
            display_ = display;
    }
    QVERIFY2(!display_.isEmpty(), "Xvfb does not start on any free display");
}

void ProgramTest::cleanupTestCase() {
    server_.terminate();
    server_.waitForFinished(5000);
}

QProcessEnvironment ProgramTest::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_QUICK_BACKEND", "software");
    env.remove("COFFRET_MOBILE");
    return env;
}

QByteArray ProgramTest::x(const QString& tool, const QStringList& args) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(tool, args);
    process.waitForFinished(10000);
    return process.readAllStandardOutput();
}

void ProgramTest::start(QProcess& process, const QStringList& args) const {
    process.setProcessEnvironment(environment());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, args);
    QVERIFY(process.waitForStarted(10000));
}

// The shown window whose title matches and whose width is `width`, once its size has settled
// (the result window fits its height to the message just after it is shown).
Window ProgramTest::waitForWindow(const QString& title, int width, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    const QRegularExpression geometry("Geometry: (\\d+)x(\\d+)");
    Window candidate;
    while (clock.elapsed() < timeoutMs) {
        const QByteArray ids = x("xdotool", {"search", "--onlyvisible", "--name", title});
        for (const QByteArray& id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
                continue;
            const QRegularExpressionMatch match = geometry.match(
                QString::fromLatin1(x("xdotool", {"getwindowgeometry", QString::fromLatin1(id)})));
            if (!match.hasMatch() || match.captured(1).toInt() != width)
                continue;
            const Window found{QString::fromLatin1(id.trimmed()),
                               QSize(match.captured(1).toInt(), match.captured(2).toInt())};
            if (found.id == candidate.id && found.size == candidate.size)
                return found;
            candidate = found;
        }
        QTest::qWait(150);
    }
    return {};
}

void ProgramTest::clickAt(const Window& window, int px, int py) const {
    x("xdotool",
      {"mousemove", "--window", window.id, QString::number(px), QString::number(py), "click", "1"});
}

// OK sits at the bottom: full width in the password window, at the right in the result one.
// Like a person, the robot clicks again when the window is still there a moment later.
void ProgramTest::pressOk(const Window& window, bool resultWindow) const {
    for (int attempt = 0; attempt < 5 && isShown(window); ++attempt) {
        if (resultWindow)
            clickAt(window, window.size.width() - 12 - 44, window.size.height() - 12 - 17);
        else
            clickAt(window, window.size.width() / 2, window.size.height() - 24 - 20);
        for (int wait = 0; wait < 10 && isShown(window); ++wait)
            QTest::qWait(200);
    }
}

bool ProgramTest::isShown(const Window& window) const {
    return x("xdotool", {"search", "--onlyvisible", "--name", "."})
        .split('\n')
        .contains(window.id.toLatin1());
}

void ProgramTest::screenshot(const Window& window, const QString& name) const {
    const QString folder = qEnvironmentVariable("COFFRET_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QTest::qWait(300); // let the bar animations settle
    x("import", {"-window", window.id, folder + '/' + name + ".png"});
}

bool ProgramTest::finishedWithZero(QProcess& process) {
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void ProgramTest::formsThatShowNothing_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("7z alone") << QStringList{"photos.7z"};
    QTest::newRow("upper-case flag") << QStringList{"XC", "/tmp", "a.zip"};
    QTest::newRow("-pk without file") << QStringList{"-pk", ".zip", "1", "/tmp"};
    QTest::newRow("unknown flag") << QStringList{"-q", "/tmp", "a", "b"};
}

void ProgramTest::formsThatShowNothing() {
    QFETCH(QStringList, args);
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    start(process, args);
    QVERIFY(finishedWithZero(process));
    QVERIFY2(clock.elapsed() < 10000, "did not exit at once");
}

void ProgramTest::withoutDisplay_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("main window") << QStringList{} << 1;
    QTest::newRow("context-menu job") << QStringList{"-xc", "/tmp", "a.zip"} << 0;
}

void ProgramTest::withoutDisplay() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY(process.readAllStandardError().contains("needs a graphical session"));
}

void ProgramTest::twoArgumentsOpenTheMainWindow() {
    QProcess process;
    start(process, {"-p", work_.path() + "/ignored.txt"});
    const Window main = waitForWindow("^Coffret$", 860);
    QVERIFY(main.isValid());
    QCOMPARE(main.size.height(), 520);
    process.terminate();
    process.waitForFinished(5000);
}

void ProgramTest::doubleClickedZip() {
    const QString dir = work_.path() + "/zip";
    testing::writeFile(dir + "/src/photo.jpg", testing::noiseBytes(50000, 2));
    QCOMPARE(
        testing::runTool("zip", {"-q", dir + "/photos.zip", "photo.jpg"}, dir + "/src").exitCode,
        0);
    QDir().mkpath(dir + "/photos");

    QProcess process;
    start(process, {dir + "/photos.zip"});
    const Window result = waitForWindow("^Coffret$", 380);
    QVERIFY(result.isValid());
    QVERIFY(!waitForWindow(QString::fromUtf8("^密码$"), 360, 100).isValid());
    screenshot(result, "result");
    QCOMPARE(testing::readFile(dir + "/photos (1)/photo.jpg"), testing::noiseBytes(50000, 2));
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));
}

void ProgramTest::tarGzFromTheContextMenu() {
    const QString dir = work_.path() + "/tgz";
    testing::writeFile(dir + "/report.pdf", "%PDF-1.4 pretend");

    QProcess process;
    start(process, {"-pk", ".tar.gz", "0", dir, dir + "/report.pdf"});
    const Window result = waitForWindow("^Coffret$", 380);
    QVERIFY(result.isValid());
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));
    const testing::ToolRun listing = testing::runTool("bsdtar", {"-tzf", dir + "/report.tar.gz"});
    QCOMPARE(listing.exitCode, 0);
    QCOMPARE(listing.out.trimmed(), QByteArray("report.pdf"));
}

void ProgramTest::packageWithRandomPasswordFromTheClipboard() {
    const QString dir = work_.path() + "/cfr";
    // Big enough for the progress window to be seen.
    testing::writeFile(dir + "/album.bin", testing::noiseBytes(40 * 1024 * 1024, 9));

    QProcess process;
    start(process, {"-p", dir, dir + "/album.bin"});
    const Window prompt = waitForWindow(QString::fromUtf8("^密码$"), 360);
    QVERIFY(prompt.isValid());
    QCOMPARE(prompt.size.height(), 372); // random password preselected
    screenshot(prompt, "password");
    pressOk(prompt, false);

    const Window progress = waitForWindow("^Coffret$", 480, 5000);
    if (progress.isValid()) {
        QCOMPARE(progress.size.height(), 160); // two rounds for a package
        screenshot(progress, "progress");
    }
    const Window result = waitForWindow("^Coffret$", 380, 60000);
    QVERIFY(result.isValid());
    // The clipboard belongs to the running program: read it before it ends.
    const QString password = QString::fromUtf8(x("xclip", {"-o", "-selection", "clipboard"}));
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));

    QCOMPARE(password.size(), 16);
    const QString out = dir + "/out";
    QCOMPARE(cfr::extract((dir + "/album.cfr").toUtf8().constData(), out.toUtf8().constData(),
                          password.toUtf8().constData(), nullptr, nullptr),
             int(cfr::Ok));
    QCOMPARE(testing::readFile(out + "/album.bin"), testing::noiseBytes(40 * 1024 * 1024, 9));
}

void ProgramTest::separateFoldersWithDismissedPrompt() {
    const QString dir = work_.path() + "/xs";
    testing::writeFile(dir + "/src/note.txt", "note");
    const QByteArray source = (dir + "/src/note.txt").toUtf8();
    const char* inputs[] = {source.constData()};
    QCOMPARE(
        cfr::pack(inputs, 1, (dir + "/locked.cfr").toUtf8().constData(), "pw", nullptr, nullptr),
        int(cfr::Ok));
    QCOMPARE(testing::runTool("zip", {"-q", dir + "/open.zip", "note.txt"}, dir + "/src").exitCode,
             0);
    const QString out = dir + "/out";
    QDir().mkpath(out);

    QProcess process;
    start(process, {"-xs", out, dir + "/locked.cfr", dir + "/open.zip"});
    const Window prompt = waitForWindow(QString::fromUtf8("^密码$"), 360);
    QVERIFY(prompt.isValid());
    QCOMPARE(prompt.size.height(), 268); // unlock mode
    x("xdotool", {"windowfocus", "--sync", prompt.id});
    x("xdotool", {"key", "Escape"});
    const Window result = waitForWindow("^Coffret$", 380);
    QVERIFY(result.isValid());
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));
    QCOMPARE(testing::treeListing(out), (QStringList{"open/", "open/note.txt"}));
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program_xvfb.moc"
