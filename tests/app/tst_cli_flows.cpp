// The command-line flows with the real password, progress and result windows, answered by a
// robot that presses their buttons; the archives are checked on disk afterwards.
#include "app/cli_flows.h"
#include "app/command_line.h"
#include "app/qml_module.h"
#include "argv.h"
#include "core/cfr.h"
#include "secrets/password_model.h"
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "test_support.h"
#include "ui_robot.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Outcome = UiRobot::Outcome;

void runFlow(UiRobot& robot, const QStringList& args) {
    robot.start();
    const Argv argv(args);
    runCommandLine(*qApp, commandForm(argv.argc(), argv.argv()), argv.argc(), argv.argv());
}

// A package of secret.txt and deep/more.bin.
QString makePackage(const QString& dir, const QString& name, const QString& password) {
    const QString source = dir + "/source-" + name;
    testing::writeFile(source + "/secret.txt", "the secret of " + name.toUtf8());
    testing::writeFile(source + "/deep/more.bin", testing::noiseBytes(4096, 7));
    const QByteArray inputs[] = {(source + "/secret.txt").toUtf8(), (source + "/deep").toUtf8()};
    const char* pointers[] = {inputs[0].constData(), inputs[1].constData()};
    const QString package = dir + '/' + name;
    return cfr::pack(pointers, 2, package.toUtf8().constData(), password.toUtf8().constData(),
                     nullptr, nullptr) == cfr::Ok
               ? package
               : QString();
}

// A zip of a.txt and sub/b.txt, written by Info-ZIP.
QString makePlainZip(const QString& dir, const QString& name) {
    const QString source = dir + "/source-" + name;
    testing::writeFile(source + "/a.txt", "alpha");
    testing::writeFile(source + "/sub/b.txt", "beta");
    return testing::runTool("zip", {"-qr", dir + '/' + name, "a.txt", "sub"}, source).exitCode == 0
               ? dir + '/' + name
               : QString();
}

} // namespace

class CliFlowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void packPromptRefusesEmptyOffersChoicesAndEscapes();
    void encryptedZipWithTypedPassword_data();
    void encryptedZipWithTypedPassword();
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
    QVERIFY(userData().addPassword("other", "not this one"));
    QVERIFY(userData().addPassword("work", "s3cret pass"));
}

void CliFlowsTest::init() {
    dir_ = work_.path() + QStringLiteral("/case%1").arg(++counter_);
    QVERIFY(QDir().mkpath(dir_));
}

// The "UserData" singleton the windows read.
UserDataExposer& CliFlowsTest::userData() {
    return *qApp->findChild<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
}

void CliFlowsTest::packPromptRefusesEmptyOffersChoicesAndEscapes() {
    userData().setLastIndex(0);
    const QString first = userData().passwordModel()->passwordAt(0);
    QVERIFY(!first.isEmpty());
    testing::writeFile(dir_ + "/a.txt", "a");

    struct State {
        QString password, confirm;
        bool confirmShown = false, copyShown = false;
    } preselected, saved, random;
    auto read = [](QQuickWindow* dialog) {
        return State{UiRobot::text(dialog, "passwordField"), UiRobot::text(dialog, "confirmField"),
                     UiRobot::item(dialog, "confirmField")->isVisible(),
                     UiRobot::item(dialog, "copyButton")->isVisible()};
    };
    auto empty = [&](QQuickWindow* dialog) {
        preselected = read(dialog);
        UiRobot::item(dialog, "passwordField")->setProperty("text", "");
        UiRobot::item(dialog, "confirmField")->setProperty("text", "");
        return UiRobot::click(dialog, "okButton");
    };
    auto chooseSaved = [&](QQuickWindow* dialog) {
        QQuickItem* box = UiRobot::item(dialog, "choiceBox");
        box->setProperty("currentIndex", 1);
        QMetaObject::invokeMethod(box, "activated", Q_ARG(int, 1));
        saved = read(dialog);
        return UiRobot::click(dialog, "randomButton");
    };
    auto copyRandom = [&](QQuickWindow* dialog) {
        if (!UiRobot::item(dialog, "copyButton")->isVisible())
            return false;
        random = read(dialog);
        return UiRobot::click(dialog, "copyButton");
    };
    QString warning, copied;
    UiRobot robot;
    robot.then("empty the preselected random password", robot.inPrompt(empty))
        .then("warning", UiRobot::acceptMessageBox(&warning))
        .then("choose the first saved password", robot.inPrompt(chooseSaved))
        .then("copy a new random password", robot.inPrompt(copyRandom))
        .then("copied notice", UiRobot::acceptMessageBox(&copied))
        .then("escape", robot.escapePrompt());
    runFlow(robot, {"-p", dir_, dir_ + "/a.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(preselected.password.size(), 16);
    QVERIFY(preselected.copyShown);
    QCOMPARE(warning, QStringLiteral("Input password please!"));
    QCOMPARE(saved.password, first);
    QCOMPARE(saved.confirm, first);
    QVERIFY(saved.confirmShown && !saved.copyShown);
    QCOMPARE(random.password.size(), 16);
    QCOMPARE(random.confirm, random.password);
    QVERIFY(random.password != preselected.password);
    QVERIFY(!random.confirmShown);
    QCOMPARE(copied, QStringLiteral("Password copied!"));
    QCOMPARE(QGuiApplication::clipboard()->text(), random.password);
    // Dismissed: nothing packed, the choice not remembered.
    QVERIFY(!robot.windowsSeen().contains("progressDialog"));
    QVERIFY(!QFileInfo::exists(dir_ + "/a.cfr"));
    QCOMPARE(UserData::instance()->lastIndex(), 0);
}

void CliFlowsTest::encryptedZipWithTypedPassword_data() {
    QTest::addColumn<QStringList>("flags");
    QTest::newRow("-z") << QStringList{"-z"};
    QTest::newRow("-pk .zip 1") << QStringList{"-pk", ".zip", "1"};
}

void CliFlowsTest::encryptedZipWithTypedPassword() {
    QFETCH(QStringList, flags);
    userData().setLastIndex(-1); // nothing to preselect: the confirmation is shown
    const QString docs = dir_ + "/docs";
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        testing::writeFile(docs + '/' + name, QByteArray("text of ") + name);

    auto mistype = [&](QQuickWindow* dialog) {
        UiRobot::type(dialog, "passwordField", "Tr0ub4dor&3");
        UiRobot::type(dialog, "confirmField", "Tr0ub4dor&4");
        return UiRobot::click(dialog, "okButton");
    };
    auto fix = [](QQuickWindow* dialog) {
        UiRobot::item(dialog, "confirmField")->setProperty("text", "");
        UiRobot::type(dialog, "confirmField", "Tr0ub4dor&3");
        return UiRobot::click(dialog, "okButton");
    };
    QString mismatch;
    Outcome outcome;
    UiRobot robot;
    robot.then("mistyped confirmation", robot.inPrompt(mistype))
        .then("mismatch warning", UiRobot::acceptMessageBox(&mismatch))
        .then("confirmation fixed", robot.inPrompt(fix))
        .then("result", robot.acceptResult(&outcome));
    runFlow(robot, flags + QStringList{docs, docs + "/a.txt", docs + "/b.txt", docs + "/c.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(mismatch, QStringLiteral("Password must be the same as confirm!"));
    const QString zip = docs + "/docs.zip";
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
    QStringList args{flag, out, makePackage(dir_, "first.cfr", "one")};
    Outcome outcome;
    UiRobot robot;
    robot.then("dismiss the first prompt", robot.closePrompt());
    if (withPlainZip) {
        args << makePlainZip(dir_, "plain.zip");
        robot.then("result", robot.acceptResult(&outcome));
    } else {
        args << makePackage(dir_, "second.cfr", "two");
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
