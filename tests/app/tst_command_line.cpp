// The command line: its grammar, the names it gives new folders and archives, start-up (the
// 7z plugin shipped beside the program, the display check), and its flows with the real
// password, progress and result windows, answered by a robot that presses their buttons;
// the archives are checked on disk afterwards.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/qml_module.h"
#include "app/startup.h"
#include "app/unique_names.h"
#include "argv.h"
#include "pack_files.h"
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "test_support.h"
#include "ui_robot.h"

#include <QDir>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(CommandForm)

namespace {

const char* const unset = "<unset>";

void setOrUnset(const char* name, const QByteArray& value) {
    if (value == unset)
        qunsetenv(name);
    else
        qputenv(name, value);
}

using Outcome = UiRobot::Outcome;

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

class CommandLineTest : public QObject {
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

private:
    UserDataExposer& userData();

    testing::TemporaryHome home_;
    QTemporaryDir work_;
    QString dir_; // a fresh folder per test
    int counter_ = 0;
};

void CommandLineTest::initTestCase() {
    QVERIFY(home_.isValid());
    UserData::instance()->load();
    registerQmlTypes(qApp);
}

void CommandLineTest::init() {
    dir_ = work_.path() + QStringLiteral("/case%1").arg(++counter_);
    QVERIFY(QDir().mkpath(dir_));
}

// The "UserData" singleton the windows read.
UserDataExposer& CommandLineTest::userData() {
    return *qApp->findChild<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
}

void CommandLineTest::packs_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("escaped");
    QTest::newRow("-z") << QStringList{"-z"} << false;
    QTest::newRow("-pk .zip 1") << QStringList{"-pk", ".zip", "1"} << false;
    QTest::newRow("-p, prompt escaped") << QStringList{"-p"} << true;
}

// What the prompt offers and refuses is the QML tests' (tst_password_windows); here, the
// flows around it with a password typed on the keyboard.
void CommandLineTest::packs() {
    QFETCH(QStringList, flags);
    QFETCH(bool, escaped);
    userData().setLastIndex(-1); // nothing to preselect: the confirmation is shown
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

void CommandLineTest::batchLeavesOutDismissedPackages_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("withPlainZip");
    QTest::addColumn<QStringList>("listing");
    QTest::newRow("-xs, one dismissed")
        << "-xs" << true << QStringList{"plain/", "plain/a.txt", "plain/sub/", "plain/sub/b.txt"};
    QTest::newRow("-xc, every prompt dismissed") << "-xc" << false << QStringList{};
}

void CommandLineTest::batchLeavesOutDismissedPackages() {
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

void CommandLineTest::grammar_data() {
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
    QTest::newRow("flag with a blank") << A{"-p ", "d", "a"} << F::Ignored;
}

void CommandLineTest::grammar() {
    QFETCH(QStringList, args);
    QFETCH(CommandForm, form);
    const Argv argv(args);
    QCOMPARE(commandForm(argv.argc(), argv.argv()), form);
}

// The free-name counting itself is the library's (tst_library_names); here, what each kind
// of job names its output after.
void CommandLineTest::names_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("call"); // {archive} to extract, {folder, name, suffix} to pack
    QTest::addColumn<QString>("expected"); // relative to the temporary folder
    using L = QStringList;
    QTest::newRow("a file blocks the folder") << L{"notes"} << L{"notes.cfr"} << "notes (1)";
    QTest::newRow("suffix only") << L{} << L{".zip"} << "extracted";
    QTest::newRow("archive elsewhere")
        << L{} << L{"/somewhere/else/Report 2024.CFR"} << "Report 2024";
    QTest::newRow("counter before the suffix")
        << L{"report.tar.gz"} << L{"", "report", ".tar.gz"} << "report (1).tar.gz";
    QTest::newRow("folder's own name") << L{"docs/"} << L{"docs/", "", ".zip"} << "docs/docs.zip";
    QTest::newRow("unknown suffix as written")
        << L{} << L{"", "report", ".weird"} << "report.weird";
}

void CommandLineTest::names() {
    QFETCH(QStringList, existing);
    QFETCH(QStringList, call);
    QFETCH(QString, expected);
    QTemporaryDir root;
    for (const QString& entry : existing) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath(root.path() + '/' + entry));
        else
            QVERIFY(testing::writeFile(root.path() + '/' + entry, "x"));
    }
    const QString name = call.size() == 1
                             ? uniqueExtractionDir(root.path(), call[0])
                             : uniquePackDestination(root.path() + '/' + call[0], call[1], call[2]);
    QCOMPARE(name, root.path() + '/' + expected);
}

void CommandLineTest::packDestinationDefaultsToHomeFolder() {
    testing::TemporaryHome home;
    QCOMPARE(uniquePackDestination(QString(), "x", ".zip"), QDir::homePath() + "/x.zip");
    // The root folder has no name of its own.
    QString expected = "/archive.zip";
    for (int k = 1; QFile::exists(expected); ++k)
        expected = QStringLiteral("/archive (%1).zip").arg(k);
    QCOMPARE(uniquePackDestination("/", QString(), ".zip"), expected);
}

void CommandLineTest::pluginDiscovery_data() {
    QTest::addColumn<QByteArray>("preset");
    QTest::addColumn<QStringList>("plugins"); // relative to <root>, the program is in <root>/bin
    QTest::addColumn<QString>("expected");    // relative to <root>, or as written when absolute
    QTest::newRow("library folder wins")
        << QByteArray(unset) << QStringList{"bin/7z.so", "lib/coffret/7z.so"}
        << "lib/coffret/7z.so";
    QTest::newRow("empty value is replaced")
        << QByteArray("") << QStringList{"bin/7z.so"} << "bin/7z.so";
    QTest::newRow("set value is kept")
        << QByteArray("/opt/p7zip/7z.so") << QStringList{"bin/7z.so"} << "/opt/p7zip/7z.so";
}

void CommandLineTest::pluginDiscovery() {
    QFETCH(QByteArray, preset);
    QFETCH(QStringList, plugins);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(QDir().mkpath(root.path() + "/bin"));
    for (const QString& plugin : plugins)
        QVERIFY(testing::writeFile(root.path() + '/' + plugin, "ELF"));
    setOrUnset("CFR_P7ZIP_LIB", preset);

    discoverP7zipPlugin(root.path() + "/bin");
    const QString value = qEnvironmentVariable("CFR_P7ZIP_LIB");
    // Stored absolute and clean, not as "bin/../lib".
    QCOMPARE(value, expected.startsWith('/') ? expected : root.path() + '/' + expected);
}

void CommandLineTest::displayCheck_data() {
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("configured");
    const QByteArray u = unset;
    QTest::newRow("nothing") << u << u << u << QStringList{} << false;
    QTest::newRow("empty DISPLAY") << u << QByteArray("") << u << QStringList{} << false;
    QTest::newRow("Wayland") << u << u << QByteArray("wayland-0") << QStringList{} << true;
    QTest::newRow("xcb, no display") << QByteArray("xcb") << u << u << QStringList{} << false;
    QTest::newRow("-platform offscreen")
        << u << u << u << QStringList{"-platform", "offscreen"} << true;
}

void CommandLineTest::displayCheck() {
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QStringList, args);
    QFETCH(bool, configured);
    setOrUnset("QT_QPA_PLATFORM", platform);
    setOrUnset("DISPLAY", display);
    setOrUnset("WAYLAND_DISPLAY", wayland);
    const Argv argv(args);
    QCOMPARE(displayConfigured(argv.argc(), argv.argv()), configured);
}

QTEST_MAIN(CommandLineTest)
#include "tst_command_line.moc"
