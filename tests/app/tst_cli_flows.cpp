// The command-line flows with the real password, progress and result windows, answered by a
// robot that presses their buttons; the archives are checked on disk afterwards.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/qml_module.h"
#include "argv.h"
#include "pack_files.h"
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "test_support.h"
#include "ui_robot.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

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

class CliFlowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void packs_data();
    void packs();
    void batchLeavesOutDismissedPackages_data();
    void batchLeavesOutDismissedPackages();

private:
    UserDataExposer& userData();

    testing::TemporaryHome home_;
    QTemporaryDir work_;
    QString dir_; // a fresh folder per test
    int counter_ = 0;
};

void CliFlowsTest::initTestCase() {
    QVERIFY(home_.isValid());
    UserData::instance()->load();
    registerQmlTypes(qApp);
}

void CliFlowsTest::init() {
    dir_ = work_.path() + QStringLiteral("/case%1").arg(++counter_);
    QVERIFY(QDir().mkpath(dir_));
}

// The "UserData" singleton the windows read.
UserDataExposer& CliFlowsTest::userData() {
    return *qApp->findChild<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
}

void CliFlowsTest::packs_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("escaped");
    QTest::newRow("-z") << QStringList{"-z"} << false;
    QTest::newRow("-pk .zip 1") << QStringList{"-pk", ".zip", "1"} << false;
    QTest::newRow("-p, prompt escaped") << QStringList{"-p"} << true;
}

// What the prompt offers and refuses is the QML tests' (tst_password_windows); here, the
// flows around it with a password typed on the keyboard.
void CliFlowsTest::packs() {
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

void CliFlowsTest::batchLeavesOutDismissedPackages_data() {
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("withPlainZip");
    QTest::addColumn<QStringList>("listing");
    QTest::newRow("-xs, one dismissed")
        << "-xs" << true << QStringList{"plain/", "plain/a.txt", "plain/sub/", "plain/sub/b.txt"};
    QTest::newRow("-xc, every prompt dismissed") << "-xc" << false << QStringList{};
}

void CliFlowsTest::batchLeavesOutDismissedPackages() {
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

QTEST_MAIN(CliFlowsTest)
#include "tst_cli_flows.moc"
