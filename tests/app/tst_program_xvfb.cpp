// The real coffret program on a private X server, answered the way a person would: windows
// found by title, buttons clicked with the mouse, the clipboard read back with xclip.
#include "cfr.h"
#include "test_support.h"
#include "x_session.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

private:
    void pressOk(const XWindow& window, bool resultWindow) const;

    testing::TemporaryHome home_;
    XSession x_;
    QTemporaryDir work_;
};

void ProgramTest::initTestCase() {
    QVERIFY(QFileInfo::exists(XSession::program()));
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
    process.start(XSession::program(), args);
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
    QVERIFY(XSession::finishedWithZero(process));
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
    QVERIFY(XSession::finishedWithZero(process));

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
    QVERIFY(XSession::finishedWithZero(process));
    QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"album.bin"});
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program_xvfb.moc"
