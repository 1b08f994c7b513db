// The application shell in-process. The command line: its grammar, the names it gives new
// folders and archives, start-up (the 7z plugin shipped beside the program, the display
// check), and its flows with the real password, progress and result windows, answered by a
// robot that presses their buttons; the archives are checked on disk afterwards. The QML
// module and the windowed start: the documents load without a warning, a broken root
// document ends the loop, and the interface COFFRET_MOBILE chooses, with the file-manager
// actions installed, the silent update check on the desktop only, the file-open filter on
// touch only, and exit code 0 on close.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/graphical.h"
#include "app/qml_module.h"
#include "app/startup.h"
#include "app/touch_context.h"
#include "app/unique_names.h"
#include "library/free_names.h"
#include "pack_files.h"
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "services/file_picker.h"
#include "services/update_checker.h"
#include "test_support.h"

#include <QApplication>
#include <QByteArrayList>
#include <QDateTime>
#include <QDir>
#include <QFileOpenEvent>
#include <QHash>
#include <QLocalServer>
#include <QMessageBox>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

Q_DECLARE_METATYPE(CommandForm)

namespace {

// A NUL-terminated argument vector that outlives the call, program name first, in the local
// encoding as a shell passes them.
class Argv {
public:
    explicit Argv(const QStringList& args) : storage_{"coffret"} {
        for (const QString& arg : args)
            storage_ << arg.toLocal8Bit();
        for (const QByteArray& arg : storage_)
            pointers_.push_back(arg.constData());
        pointers_.push_back(nullptr);
    }

    int argc() const { return int(storage_.size()); }
    const char* const* argv() const { return pointers_.data(); }

private:
    QByteArrayList storage_;
    std::vector<const char*> pointers_;
};

// Plays the user in the window flows: finds the shown windows and presses their buttons
// while the program's own event loops run.
class UiRobot {
public:
    // Returns true once it has done its part; until then it is tried again a moment later.
    using Step = std::function<bool()>;
    using Act = std::function<bool(QQuickWindow*)>;
    struct Outcome {
        QString message;
        bool heightLocked = false;
    };

    UiRobot() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    UiRobot& then(const QString& description, Step step) {
        steps_.append({description, std::move(step)});
        return *this;
    }
    void start() {
        deadline_ = QDateTime::currentMSecsSinceEpoch() + 30000;
        timer_.start();
    }
    bool finished() const { return steps_.isEmpty() && failure_.isEmpty(); }
    QString failure() const { return failure_; }
    // The object names of every window seen shown while the robot ran.
    QSet<QString> windowsSeen() const { return seen_; }

    // Clicks the middle of a visible item like a mouse would; false when it is not there.
    // From the event loop, not from inside the robot's tick: the click may open a modal box,
    // and the robot must keep ticking to answer it. The point is taken then too, after the
    // positioners above the target have laid out what the previous step changed; they
    // otherwise wait for the next frame, and a click at the old place misses.
    static bool click(QQuickWindow* window, const QString& name) {
        QQuickItem* target = window->findChild<QQuickItem*>(name);
        if (!target || !target->isVisible())
            return false;
        QTimer::singleShot(0, window, [window, target = QPointer<QQuickItem>(target)] {
            if (!target)
                return;
            for (QQuickItem* above = target->parentItem(); above; above = above->parentItem()) {
                if (above->metaObject()->indexOfMethod("forceLayout()") >= 0)
                    QMetaObject::invokeMethod(above, "forceLayout");
            }
            const QPointF middle(target->width() / 2, target->height() / 2);
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                              target->mapToScene(middle).toPoint());
        });
        return true;
    }
    static void type(QQuickWindow* window, const QString& field, const QString& text) {
        window->findChild<QQuickItem*>(field)->forceActiveFocus();
        for (const QChar c : text)
            QTest::keyClick(window, c.toLatin1());
    }
    static QMessageBox* shownMessageBox() {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    }

    // A step that acts on the named window once it has stayed shown for a moment and no
    // message box covers it.
    Step inWindow(const QString& name, Act act) const {
        return [this, name, act] {
            for (auto it = shownTicks_.cbegin(); it != shownTicks_.cend(); ++it) {
                auto* quick = qobject_cast<QQuickWindow*>(it.key());
                if (quick && it.value() >= 3 && quick->objectName() == name)
                    return !shownMessageBox() && act(quick);
            }
            return false;
        };
    }
    Step inPrompt(Act act) const { return inWindow("passwordDialog", std::move(act)); }
    // Reads the result window, then presses its OK.
    Step acceptResult(Outcome* outcome) const {
        return inWindow("resultDialog", [outcome](QQuickWindow* result) {
            // Not before the window has fitted its height to the message.
            if (result->height() <= 1 || result->minimumHeight() <= 1)
                return false;
            outcome->message = result->property("message").toString();
            outcome->heightLocked = result->minimumHeight() == result->maximumHeight() &&
                                    result->height() == result->minimumHeight();
            return click(result, "okButton");
        });
    }
    // The title bar's close button: refused, the window hides and reports a dismissal.
    Step closePrompt() const {
        return inPrompt([](QQuickWindow* dialog) {
            dialog->close();
            return true;
        });
    }
    Step escapePrompt() const {
        return inPrompt([](QQuickWindow* dialog) {
            // A person's key press goes to the window they look at, made active first.
            dialog->requestActivate();
            QTimer::singleShot(50, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
            return true;
        });
    }

private:
    void tick() {
        QHash<QWindow*, int> ticks; // how many ticks in a row each window has been shown
        QString shown;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (!window->isVisible())
                continue;
            ticks.insert(window, shownTicks_.value(window) + 1);
            seen_.insert(window->objectName());
            shown += QStringLiteral(" %1 (height %2, at least %3)")
                         .arg(window->objectName(), QString::number(window->height()),
                              QString::number(window->minimumHeight()));
        }
        shownTicks_ = ticks;
        if (!failure_.isEmpty()) {
            // Gave up: leave whatever event loop the program waits in, until control is back.
            if (QMessageBox* box = shownMessageBox())
                box->reject();
            QCoreApplication::quit();
        } else if (!steps_.isEmpty() && steps_.first().second()) {
            steps_.removeFirst();
        } else if (QDateTime::currentMSecsSinceEpoch() > deadline_) {
            // Still ticking after the last step: the program must have left its loop by then.
            failure_ =
                "timed out at step: " +
                (steps_.isEmpty() ? QStringLiteral("(after the last)") : steps_.first().first) +
                "; shown windows:" + shown;
            QCoreApplication::quit();
        }
    }

    QTimer timer_;
    qint64 deadline_ = 0;
    QList<QPair<QString, Step>> steps_;
    QString failure_;
    QSet<QString> seen_;
    QHash<QWindow*, int> shownTicks_;
};

// Unsets the variables a case reads, then sets those it gives as "NAME=value".
void setEnvironment(const QStringList& names, const QStringList& assignments) {
    for (const QString& name : names)
        qunsetenv(qPrintable(name));
    for (const QString& assignment : assignments)
        qputenv(qPrintable(assignment.section('=', 0, 0)), assignment.section('=', 1).toUtf8());
}

using Outcome = UiRobot::Outcome;

// The "UserData" singleton the windows read.
UserDataExposer& exposedUserData() {
    return *qApp->findChild<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
}

void runFlow(UiRobot& robot, const QStringList& args) {
    robot.start();
    const Argv argv(args);
    runCommandLine(*qApp, commandForm(argv.argc(), argv.argv()), argv.argc(), argv.argv());
}

// An archive of a.txt and sub/b.txt: a package with a password, else a zip by Info-ZIP.
QString makeArchive(const QString& dir, const QString& name, const QString& password) {
    const QString source = dir + "/source-" + name;
    testing::writeFile(source + "/a.txt", "alpha");
    testing::writeFile(source + "/sub/b.txt", "beta");
    const QString archive = dir + '/' + name;
    const bool made =
        password.isEmpty()
            ? testing::runTool("zip", {"-qr", archive, "a.txt", "sub"}, source).exitCode == 0
            : packFiles(archive, {source + "/a.txt", source + "/sub"}, password);
    return made ? archive : QString();
}

} // namespace

class AppShellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    // First, before the plugin and display tests change the environment.
    void packs_data();
    void packs();
    void batchLeavesOutDismissedPackages_data();
    void batchLeavesOutDismissedPackages();
    void grammar_data();
    void grammar();
    void names_data();
    void names();
    void packDestinationDefaultsToHomeFolder();
    void pluginDiscovery_data();
    void pluginDiscovery();
    void displayCheck_data();
    void displayCheck();
    void waylandCompositorAnswers();
    void documentsLoad_data();
    void documentsLoad();
    void brokenRootDocumentLeavesTheLoopWithMinusOne();
    // Last: the touch interface leaves its file-open filter installed.
    void interface_data();
    void interface();

private:
    testing::TemporaryHome home_;
    QTemporaryDir work_;
    QString dir_; // a fresh folder per test
    int counter_ = 0;
};

void AppShellTest::initTestCase() {
    QVERIFY(home_.isValid());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    UserData::instance()->load();
    registerQmlTypes(qApp);
    // Nothing here may reach the real download server: the silent check asks a port where
    // nothing listens.
    updaterSingleton()->setServerAddress(QUrl("http://127.0.0.1:9"));
}

void AppShellTest::init() {
    dir_ = work_.path() + QStringLiteral("/case%1").arg(++counter_);
    QVERIFY(QDir().mkpath(dir_));
}

void AppShellTest::packs_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("escaped");
    QTest::newRow("-z") << QStringList{"-z"} << false;
    QTest::newRow("-pk .zip 1") << QStringList{"-pk", ".zip", "1"} << false;
    QTest::newRow("-p, prompt escaped") << QStringList{"-p"} << true;
}

// What the prompt offers and refuses is the QML tests' (tst_password_windows); here, the
// flows around it with a password typed on the keyboard.
void AppShellTest::packs() {
    QFETCH(QStringList, flags);
    QFETCH(bool, escaped);
    exposedUserData().setLastIndex(-1); // nothing to preselect: the confirmation is shown
    const QString docs = dir_ + "/docs";
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        testing::writeFile(docs + '/' + name, QByteArray("text of ") + name);

    auto typePassword = [](QQuickWindow* dialog) {
        UiRobot::type(dialog, "passwordField", "Tr0ub4dor&3");
        UiRobot::type(dialog, "confirmField", "Tr0ub4dor&3");
        return UiRobot::click(dialog, "okButton");
    };
    Outcome outcome;
    UiRobot robot;
    if (escaped)
        robot.then("escape", robot.escapePrompt());
    else
        robot.then("typed password", robot.inPrompt(typePassword))
            .then("result", robot.acceptResult(&outcome));
    runFlow(robot, flags + QStringList{docs, docs + "/a.txt", docs + "/b.txt", docs + "/c.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    const QString zip = docs + "/docs.zip";
    if (escaped) {
        QVERIFY(!robot.windowsSeen().contains("progressDialog"));
        QCOMPARE(QDir(docs).entryList(QDir::Files).size(), 3);
        return;
    }
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + zip);
    // The result window fits its height to the message, then holds it (it once did not).
    QVERIFY(outcome.heightLocked);
    QVERIFY(testing::runTool("7z", {"t", "-pnot-it", zip}).exitCode != 0);
    const testing::ToolRun run =
        testing::runTool("7z", {"x", "-pTr0ub4dor&3", "-o" + dir_ + "/out", zip});
    QVERIFY2(run.exitCode == 0, run.out.constData());
    QCOMPARE(testing::readFile(dir_ + "/out/c.txt"), QByteArray("text of c.txt"));
}

void AppShellTest::batchLeavesOutDismissedPackages_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("withPlainZip");
    QTest::addColumn<QStringList>("listing");
    QTest::newRow("-xs, one dismissed")
        << "-xs" << true << QStringList{"plain/", "plain/a.txt", "plain/sub/", "plain/sub/b.txt"};
    QTest::newRow("-xc, every prompt dismissed") << "-xc" << false << QStringList{};
}

void AppShellTest::batchLeavesOutDismissedPackages() {
    QFETCH(QString, flag);
    QFETCH(bool, withPlainZip);
    QFETCH(QStringList, listing);
    const QString out = dir_ + "/out";
    QVERIFY(QDir().mkpath(out));
    QStringList args{flag, out, makeArchive(dir_, "first.cfr", "one")};
    Outcome outcome;
    UiRobot robot;
    robot.then("dismiss the first prompt", robot.closePrompt());
    if (withPlainZip) {
        args << makeArchive(dir_, "plain.zip", QString());
        robot.then("result", robot.acceptResult(&outcome));
    } else {
        args << makeArchive(dir_, "second.cfr", "two");
        robot.then("dismiss the second prompt", robot.closePrompt());
    }
    runFlow(robot, args);

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(testing::treeListing(out), listing);
    QCOMPARE(robot.windowsSeen().contains("resultDialog"), withPlainZip);
    QVERIFY(withPlainZip || !robot.windowsSeen().contains("progressDialog"));
    if (withPlainZip)
        QCOMPARE(outcome.message, "Extract succeeded!\nFiles extracted to: " + out);
}

void AppShellTest::grammar_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<CommandForm>("form");
    using F = CommandForm;
    using A = QStringList;
    QTest::newRow("no argument") << A{} << F::Graphical;
    QTest::newRow("package") << A{"/x/a.cfr"} << F::DoubleClick;
    QTest::newRow("mixed-case zip") << A{"photos.Zip"} << F::DoubleClick;
    QTest::newRow("7z alone") << A{"a.7z"} << F::Ignored;
    QTest::newRow("suffix only in the middle") << A{"a.cfr.txt"} << F::Ignored;
    QTest::newRow("two arguments") << A{"-p", "a.txt"} << F::Graphical;
    QTest::newRow("-p several") << A{"-p", "d", "a", "b", "c"} << F::PackPackage;
    QTest::newRow("-z") << A{"-z", "d", "a"} << F::PackZip;
    QTest::newRow("-x extra") << A{"-x", "d", "a.zip", "b.zip"} << F::ExtractOne;
    QTest::newRow("-xc") << A{"-xc", "d", "a.zip"} << F::ExtractHere;
    QTest::newRow("-xs") << A{"-xs", "d", "a.zip", "b.7z"} << F::ExtractSeparately;
    QTest::newRow("-pk several") << A{"-pk", ".tar.gz", "0", "d", "a", "b"} << F::PackAs;
    QTest::newRow("-pk no file") << A{"-pk", ".zip", "1", "d"} << F::Ignored;
    QTest::newRow("upper-case dashed flag") << A{"-XC", "d", "a"} << F::Ignored;
}

void AppShellTest::grammar() {
    QFETCH(QStringList, args);
    QFETCH(CommandForm, form);
    const Argv argv(args);
    QCOMPARE(commandForm(argv.argc(), argv.argv()), form);
}

// The free-name counting itself is the library's (tst_library_names); here, what each kind
// of job names its output after.
void AppShellTest::names_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("call"); // {archive} to extract, {folder, name, suffix} to pack
    QTest::addColumn<QString>("expected"); // relative to the test's folder
    using L = QStringList;
    QTest::newRow("a file blocks the folder") << L{"notes"} << L{"notes.cfr"} << "notes (1)";
    QTest::newRow("suffix only") << L{} << L{".zip"} << "extracted";
    QTest::newRow("counter before the suffix")
        << L{"report.tar.gz"} << L{"", "report", ".tar.gz"} << "report (1).tar.gz";
    QTest::newRow("folder's own name") << L{"docs/x"} << L{"docs/", "", ".zip"} << "docs/docs.zip";
}

void AppShellTest::names() {
    QFETCH(QStringList, existing);
    QFETCH(QStringList, call);
    QFETCH(QString, expected);
    for (const QString& entry : existing)
        QVERIFY(testing::writeFile(dir_ + '/' + entry, "x"));
    const QString name = call.size() == 1
                             ? uniqueExtractionDir(dir_, call[0])
                             : uniquePackDestination(dir_ + '/' + call[0], call[1], call[2]);
    QCOMPARE(name, dir_ + '/' + expected);
}

void AppShellTest::packDestinationDefaultsToHomeFolder() {
    QCOMPARE(uniquePackDestination(QString(), "x", ".zip"), QDir::homePath() + "/x.zip");
    // The root folder has no name of its own; the counting, if an archive is there, is the
    // library's.
    QCOMPARE(uniquePackDestination("/", QString(), ".zip"), freePath("/archive", ".zip"));
}

void AppShellTest::pluginDiscovery_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("plugins"); // relative to the test's folder, the program in bin/
    QTest::addColumn<QString>("expected");    // relative to it too, or as written when absolute
    QTest::newRow("library folder wins")
        << QStringList{} << QStringList{"bin/7z.so", "lib/coffret/7z.so"} << "lib/coffret/7z.so";
    QTest::newRow("empty value is replaced")
        << QStringList{"CFR_P7ZIP_LIB="} << QStringList{"bin/7z.so"} << "bin/7z.so";
    QTest::newRow("set value is kept") << QStringList{"CFR_P7ZIP_LIB=/opt/p7zip/7z.so"}
                                       << QStringList{"bin/7z.so"} << "/opt/p7zip/7z.so";
}

void AppShellTest::pluginDiscovery() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, plugins);
    QFETCH(QString, expected);
    QVERIFY(QDir().mkpath(dir_ + "/bin"));
    for (const QString& plugin : plugins)
        QVERIFY(testing::writeFile(dir_ + '/' + plugin, "ELF"));
    setEnvironment({"CFR_P7ZIP_LIB"}, environment);

    discoverP7zipPlugin(dir_ + "/bin");
    // Stored absolute and clean, not as "bin/../lib".
    QCOMPARE(qEnvironmentVariable("CFR_P7ZIP_LIB"),
             expected.startsWith('/') ? expected : dir_ + '/' + expected);
}

void AppShellTest::displayCheck_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("configured");
    QTest::newRow("empty DISPLAY") << QStringList{"DISPLAY="} << QStringList{} << false;
    QTest::newRow("Wayland") << QStringList{"WAYLAND_DISPLAY=wayland-0"} << QStringList{} << true;
    QTest::newRow("xcb, no display")
        << QStringList{"QT_QPA_PLATFORM=xcb"} << QStringList{} << false;
    QTest::newRow("-platform offscreen")
        << QStringList{} << QStringList{"-platform", "offscreen"} << true;
}

void AppShellTest::displayCheck() {
    QFETCH(QStringList, environment);
    QFETCH(QStringList, args);
    QFETCH(bool, configured);
    setEnvironment({"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}, environment);
    const Argv argv(args);
    QCOMPARE(displayConfigured(argv.argc(), argv.argv()), configured);
}

// Whether the compositor's socket takes a connection, named under XDG_RUNTIME_DIR or by path.
void AppShellTest::waylandCompositorAnswers() {
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    QLocalServer compositor;
    QVERIFY(compositor.listen(dir_ + "/wayland-9"));
    const Argv argv({"-platform", "wayland"});
    setEnvironment({"WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"},
                   {"WAYLAND_DISPLAY=wayland-9", "XDG_RUNTIME_DIR=" + dir_});
    QVERIFY(displayAnswers(argv.argc(), argv.argv()));
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(dir_ + "/wayland-9"));
    QVERIFY(displayAnswers(argv.argc(), argv.argv()));
    compositor.close();
    QVERIFY(!displayAnswers(argv.argc(), argv.argv()));
    qputenv("WAYLAND_DISPLAY", QByteArray(200, 'w')); // longer than a socket address holds
    QVERIFY(!displayAnswers(argv.argc(), argv.argv()));
    if (runtimeDir.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtimeDir);
}

void AppShellTest::documentsLoad_data() {
    QTest::addColumn<QString>("document");
    for (const char* document : {"Main.qml", "MobileApp.qml", "PasswordDialog.qml",
                                 "ProgressDialog.qml", "ResultDialog.qml"})
        QTest::newRow(document) << QString::fromLatin1(document);
}

void AppShellTest::documentsLoad() {
    QFETCH(QString, document);
    QQmlEngine engine;
    installTouchContext(engine, QLocale::system().name()); // the touch interface's Theme and Str
    QStringList problems; // the engine's warnings and the component's errors
    connect(&engine, &QQmlEngine::warnings, [&problems](const QList<QQmlError>& warnings) {
        for (const QQmlError& warning : warnings)
            problems << warning.toString();
    });
    QQmlComponent component(&engine, QUrl("qrc:/Coffret/qml/" + document));
    std::unique_ptr<QObject> root(component.create());
    for (const QQmlError& error : component.errors())
        problems << error.toString();
    QTest::qWait(50);
    QVERIFY2(root && problems.isEmpty(), qPrintable(problems.join('\n')));
}

void AppShellTest::brokenRootDocumentLeavesTheLoopWithMinusOne() {
    const QString broken = dir_ + "/Broken.qml";
    QVERIFY(testing::writeFile(broken, "import QtQuick 2.15\nItem { notAProperty: 1 }\n"));
    QQmlApplicationEngine engine;
    // Only a safety net against a loop that never ends, long enough for a loaded machine.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(42); });
    guard.start(120000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*Broken.qml.*notAProperty.*"));
    loadRootDocument(engine, QUrl::fromLocalFile(broken));
    QCOMPARE(qApp->exec(), -1);
}

void AppShellTest::interface_data() {
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("desktop") << QStringList{} << "mainWindow"
                             << "Coffret";
    // The title is the application name in the system's language (LANG=zh_CN.UTF-8 here).
    QTest::newRow("mobile, even when empty")
        << QStringList{"COFFRET_MOBILE="} << "mobileWindow" << QString::fromUtf8("珂匣");
}

void AppShellTest::interface() {
    QFETCH(QStringList, environment);
    QFETCH(QString, window);
    QFETCH(QString, title);
    const bool touch = window == "mobileWindow";
    setEnvironment({"COFFRET_MOBILE"}, environment);
    QSignalSpy checks(updaterSingleton(), &UpdateChecker::busyChanged);
    // The root window as shown; a person closes it 3 s later (past the update check).
    QString seenName, seenTitle;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        for (QWindow* shown : QGuiApplication::topLevelWindows()) {
            if (qobject_cast<QQuickWindow*>(shown) && shown->isVisible() && seenName.isEmpty()) {
                seenName = shown->objectName();
                seenTitle = shown->title();
                QTimer::singleShot(3000, shown, &QWindow::close);
            }
        }
    });
    poll.start(20);
    const int code = runGraphical(*qApp);
    qunsetenv("COFFRET_MOBILE");

    QCOMPARE(code, 0);
    QCOMPARE(seenName, window);
    QCOMPARE(seenTitle, title);
    QCOMPARE(checks.count() > 0, !touch);
    QVERIFY(testing::readFile(QDir::homePath() + "/.config/Thunar/uca.xml").contains("coffret-9"));
    // What a file manager hands over: local files only, once decoded.
    FilePicker* picker = filePickerSingleton();
    QSignalSpy received(picker, &FilePicker::fileReceived);
    for (const char* url : {"https://example.org/x.cfr", "file:///data/b%20c.zip"}) {
        QFileOpenEvent event{QUrl(url)};
        QCoreApplication::sendEvent(qApp, &event);
    }
    QCOMPARE(received.count(), touch ? 1 : 0);
    QCOMPARE(picker->takePendingFile(), touch ? "/data/b c.zip" : QString());
}

QTEST_MAIN(AppShellTest)
#include "tst_app_shell.moc"
