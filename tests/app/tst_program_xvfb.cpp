// The real coffret program on a private X server, answered the way a person would: windows
// found by title, buttons clicked with the mouse, the clipboard read back with xclip.
#include "cfr.h"
#include "test_support.h"
#include "x_close.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The program beside the build, or an installed copy (scripts/check-install.sh).
const QString program =
    qEnvironmentVariable("COFFRET_PROGRAM", QStringLiteral(COFFRET_BINARY_DIR "/app/coffret"));

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
    void formsThatExitAtOnce_data();
    void formsThatExitAtOnce();
    void jobsWithoutPrompt_data();
    void jobsWithoutPrompt();
    void packageWithRandomPasswordFromTheClipboard();
    void separateFoldersWithDismissedPrompt();
    void largeJobCancelled_data();
    void largeJobCancelled();

private:
    QProcessEnvironment environment() const;
    QByteArray x(const QString& tool, const QStringList& args) const;
    void start(QProcess& process, const QStringList& args) const;
    Window waitForWindow(const QString& title, int width, int timeoutMs = 15000) const;
    void clickAt(const Window& window, int x, int y) const;
    void pressOk(const Window& window, bool resultWindow) const;
    QString otherWindow(const QString& title, const QString& known) const;
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
    // Away from the usual :0 and :99; a server that cannot start fails after twenty numbers.
    const int first = 100 + int(QCoreApplication::applicationPid() % 700);
    for (int n = first; display_.isEmpty() && n < first + 20; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        // -noreset: else it restarts, refusing clients, each time a finished coffret leaves.
        server_.start("Xvfb", {QStringLiteral(":%1").arg(n), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"});
        QVERIFY2(server_.waitForStarted(10000), "Xvfb does not start");
        const QString display = QStringLiteral(":%1").arg(n);
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

// A shown window with that title other than the one already known, or empty.
QString ProgramTest::otherWindow(const QString& title, const QString& known) const {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const QByteArray ids = x("xdotool", {"search", "--onlyvisible", "--name", title});
        for (const QByteArray& id : ids.split('\n'))
            if (!id.trimmed().isEmpty() && id.trimmed() != known.toLatin1())
                return QString::fromLatin1(id.trimmed());
        QTest::qWait(200);
    }
    return {};
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

void ProgramTest::formsThatExitAtOnce_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("display"); // "ours": the test's server
    QTest::addColumn<int>("exitCode");
    // A display number no server listens on.
    int dead = 900;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(dead)))
        ++dead;
    const QString silent = QStringLiteral(":%1").arg(dead);
    QTest::newRow("7z alone") << QStringList{"photos.7z"} << "ours" << 0;
    QTest::newRow("upper-case flag") << QStringList{"XC", "/tmp", "a.zip"} << "ours" << 0;
    QTest::newRow("-pk without file") << QStringList{"-pk", ".zip", "1", "/tmp"} << "ours" << 0;
    QTest::newRow("unknown flag") << QStringList{"-q", "/tmp", "a", "b"} << "ours" << 0;
    QTest::newRow("no display, main window") << QStringList{} << "" << 1;
    QTest::newRow("no display, context-menu job") << QStringList{"-xc", "/tmp", "a.zip"} << "" << 0;
    QTest::newRow("display not answering, main window") << QStringList{} << silent << 1;
    QTest::newRow("display not answering, context-menu job")
        << QStringList{"-xc", "/tmp", "a.zip"} << silent << 0;
}

void ProgramTest::formsThatExitAtOnce() {
    QFETCH(QStringList, args);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QProcessEnvironment env = environment();
    if (display != "ours") {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    QVERIFY2(process.waitForFinished(10000), "did not exit at once");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    if (display != "ours")
        QVERIFY(process.readAllStandardError().contains("needs a graphical session"));
}

void ProgramTest::jobsWithoutPrompt_data() {
    QTest::addColumn<QStringList>("args"); // "%1" stands for the test's folder
    QTest::addColumn<QString>("output");
    QTest::newRow("-pk .tar.gz 0")
        << QStringList{"-pk", ".tar.gz", "0", "%1", "%1/photo.jpg"} << "%1/photo.tar.gz";
    // Last, so that its result window is the one kept as a screenshot.
    QTest::newRow("double-click, name taken") << QStringList{"%1/photos.zip"} << "%1/photos (1)";
}

void ProgramTest::jobsWithoutPrompt() {
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    const QString dir = work_.path() + '/' + QTest::currentDataTag();
    const QByteArray photo = testing::noiseBytes(50000, 2);
    testing::writeFile(dir + "/photo.jpg", photo);
    QCOMPARE(testing::runTool("zip", {"-qj", dir + "/photos.zip", dir + "/photo.jpg"}).exitCode, 0);
    QDir().mkpath(dir + "/photos");
    for (QString& arg : args)
        arg = arg.arg(dir);

    QProcess process;
    start(process, args);
    const Window result = waitForWindow("^Coffret$", 380);
    QVERIFY(result.isValid());
    QVERIFY(!waitForWindow(QString::fromUtf8("^密码$"), 360, 100).isValid());
    screenshot(result, "result");
    pressOk(result, true);
    QVERIFY(finishedWithZero(process));
    output = output.arg(dir);
    if (QFileInfo(output).isDir())
        QCOMPARE(testing::readFile(output + "/photo.jpg"), photo);
    else
        QCOMPARE(testing::runTool("bsdtar", {"-xOf", output, "photo.jpg"}).out, photo);
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
        QCOMPARE(progress.size.height(), 206); // two rounds for a package
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
    QCOMPARE(testing::runTool("zip", {"-qj", dir + "/open.zip", dir + "/src/note.txt"}).exitCode,
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
    start(process, {"-pk", ".tar.xz", "0", dir, dir + "/album.bin"});
    const Window progress = waitForWindow("^Coffret$", 480);
    QVERIFY(progress.isValid());
    if (byTitleBar) {
        QVERIFY(closeLikeTitleBar(display_.toLatin1(), progress.id.toULong()));
        const QString question = otherWindow("^Coffret$", progress.id);
        QVERIFY(!question.isEmpty());
        x("xdotool", {"windowfocus", "--sync", question});
        x("xdotool", {"key", "y"});
    } else {
        clickAt(progress, progress.size.width() - 24 - 44, progress.size.height() - 24 - 17);
    }
    // No result window: the process ends by itself.
    QVERIFY(finishedWithZero(process));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"album.bin"});
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program_xvfb.moc"
