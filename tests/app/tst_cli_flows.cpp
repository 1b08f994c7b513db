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

int extract(const QString& archive, const QString& folder, const QString& password) {
    return cfr::extract(archive.toUtf8().constData(), folder.toUtf8().constData(),
                        password.toUtf8().constData(), nullptr, nullptr);
}

QQuickWindow* anyWindow(const QString& name) {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->objectName() == name)
            return qobject_cast<QQuickWindow*>(window);
    }
    return nullptr;
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
    void flowsWithoutPrompt_data();
    void flowsWithoutPrompt();
    void doubleClickedPackage_data();
    void doubleClickedPackage();
    void packPromptRefusesEmptyOffersChoicesAndEscapes();
    void packageWithPreselectedRandomPassword();
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
}

void CliFlowsTest::init() {
    dir_ = work_.path() + QStringLiteral("/case%1").arg(++counter_);
    QVERIFY(QDir().mkpath(dir_));
}

// The "UserData" singleton the windows read.
UserDataExposer& CliFlowsTest::userData() {
    return *qApp->findChild<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
}

void CliFlowsTest::flowsWithoutPrompt_data() {
    // In the arguments, messages and outputs, "%1" stands for the test's folder.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // empty: one of the worker's error messages
    QTest::addColumn<QString>("output");  // a folder, or an archive listed with bsdtar
    QTest::addColumn<QStringList>("listing");
    const QString extracted = "Extract succeeded!\nFiles extracted to: ";
    const QStringList zipListing{"a.txt", "sub/", "sub/b.txt"};
    QTest::newRow("double-click, two names taken")
        << QStringList{"%1/photos.zip"} << extracted + "%1/photos (2)"
        << "%1/photos (2)" << zipListing;
    QTest::newRow("-x, folder with blanks, extra argument")
        << QStringList{"-x", "  %1/parent ", "%1/photos.zip", "ignored.zip"}
        << extracted + "%1/parent/photos (1)"
        << "%1/parent/photos (1)" << zipListing;
    QTest::newRow("-pk .tar.gz 0, folder with blanks, name taken")
        << QStringList{"-pk", ".tar.gz", "0", " %1 ", "%1/report.v1.pdf"}
        << "Pack succeeded!\nFile saved: %1/report.v1 (1).tar.gz"
        << "%1/report.v1 (1).tar.gz" << QStringList{"report.v1.pdf"};
    QTest::newRow("missing") << QStringList{"%1/nothere.zip"} << ""
                             << "" << QStringList{};
    QTest::newRow("noise") << QStringList{"%1/noise.zip"} << ""
                           << "" << QStringList{};
    QTest::newRow("empty file") << QStringList{"%1/empty.cfr"} << ""
                                << "" << QStringList{};
}

void CliFlowsTest::flowsWithoutPrompt() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(QString, output);
    QFETCH(QStringList, listing);
    QVERIFY(!makePlainZip(dir_, "photos.zip").isEmpty());
    for (const char* taken : {"/photos", "/photos (1)", "/parent/photos"})
        QVERIFY(QDir().mkpath(dir_ + taken));
    testing::writeFile(dir_ + "/report.v1.pdf", testing::noiseBytes(30000, 5));
    testing::writeFile(dir_ + "/report.v1.tar.gz", "taken");
    testing::writeFile(dir_ + "/noise.zip", testing::noiseBytes(5000, 11));
    testing::writeFile(dir_ + "/empty.cfr", "");
    for (QString& arg : args)
        arg = arg.arg(dir_);

    Outcome outcome;
    UiRobot robot;
    robot.then("result", robot.acceptResult(&outcome));
    runFlow(robot, args);

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY(!robot.windowsSeen().contains("passwordDialog"));
    QVERIFY(outcome.heightLocked);
    QVERIFY(!anyWindow("resultDialog")->isVisible());
    if (message.isEmpty()) {
        QVERIFY(outcome.isError);
        const QStringList errors{"Cannot open file", "Wrong password or corrupt file",
                                 "Unsupported format", "Operation failed"};
        QVERIFY2(errors.contains(outcome.message), qPrintable(outcome.message));
        return;
    }
    QVERIFY(!outcome.isError);
    QCOMPARE(outcome.message, message.arg(dir_));
    QCOMPARE(anyWindow("progressDialog")->height(), 150); // one bar
    output = output.arg(dir_);
    if (QFileInfo(output).isDir()) {
        QCOMPARE(testing::treeListing(output), listing);
        QCOMPARE(testing::readFile(output + "/sub/b.txt"), QByteArray("beta"));
    } else {
        const testing::ToolRun run = testing::runTool("bsdtar", {"-tf", output});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts), listing);
    }
}

void CliFlowsTest::doubleClickedPackage_data() {
    QTest::addColumn<int>("lastIndex"); // pack numbering: 0 random, 1 + n saved password n
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prefilled");
    QTest::addColumn<QString>("message");
    QTest::newRow("last saved password offered")
        << 2 << ""
        << "s3cret pass"
        << "Extract succeeded!\nFiles extracted to: %1/Report";
    QTest::newRow("wrong password typed") << 0 << "wrong"
                                          << ""
                                          << "Wrong password or corrupt file";
}

void CliFlowsTest::doubleClickedPackage() {
    QFETCH(int, lastIndex);
    QFETCH(QString, typed);
    QFETCH(QString, prefilled);
    QFETCH(QString, message);
    if (userData().passwordModel()->count() == 0) {
        userData().addPassword("other", "not this one");
        userData().addPassword("work", "s3cret pass");
    }
    userData().setLastIndex(lastIndex);
    const QString package = makePackage(dir_, "Report.CFR", "s3cret pass");
    QVERIFY(!package.isEmpty());

    QString label, offered;
    int height = 0, chosen = -2;
    auto unlock = [&](QQuickWindow* dialog) {
        label = UiRobot::text(dialog, "passwordLabel");
        offered = UiRobot::text(dialog, "passwordField");
        chosen = UiRobot::item(dialog, "choiceBox")->property("currentIndex").toInt();
        height = dialog->height();
        if (!typed.isEmpty()) {
            UiRobot::item(dialog, "passwordField")->setProperty("text", "");
            UiRobot::type(dialog, "passwordField", typed);
        }
        return UiRobot::click(dialog, "okButton");
    };
    Outcome outcome;
    UiRobot robot;
    robot.then("unlock", robot.inPrompt(unlock))
        .then("result", robot.acceptResult(&outcome, !typed.isEmpty()));
    runFlow(robot, {package});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(label, QStringLiteral("Password for \"Report.CFR\""));
    QCOMPARE(height, 268);
    QCOMPARE(offered, prefilled);
    if (lastIndex > 0)
        QCOMPARE(chosen, lastIndex - 1);
    QCOMPARE(outcome.message, message.arg(dir_));
    QCOMPARE(outcome.isError, !typed.isEmpty());
    QCOMPARE(UserData::instance()->lastIndex(), lastIndex);
    if (outcome.isError)
        return;
    QCOMPARE(testing::readFile(dir_ + "/Report/secret.txt"),
             QByteArray("the secret of Report.CFR"));
    QCOMPARE(testing::readFile(dir_ + "/Report/deep/more.bin"), testing::noiseBytes(4096, 7));
}

void CliFlowsTest::packPromptRefusesEmptyOffersChoicesAndEscapes() {
    userData().setLastIndex(0);
    const QString first = userData().passwordModel()->passwordAt(0);
    QVERIFY(!first.isEmpty());
    testing::writeFile(dir_ + "/a.txt", "a");

    struct State {
        int height = 0;
        QString password, confirm;
        bool confirmShown = false, copyShown = false;
    } preselected, saved, random;
    auto read = [](QQuickWindow* dialog) {
        return State{dialog->height(), UiRobot::text(dialog, "passwordField"),
                     UiRobot::text(dialog, "confirmField"),
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
    QCOMPARE(preselected.height, 372);
    QCOMPARE(preselected.password.size(), 16);
    QVERIFY(preselected.copyShown);
    QCOMPARE(warning, QStringLiteral("Input password please!"));
    QCOMPARE(saved.height, 408);
    QCOMPARE(saved.password, first);
    QCOMPARE(saved.confirm, first);
    QVERIFY(saved.confirmShown && !saved.copyShown);
    QCOMPARE(random.height, 372);
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

void CliFlowsTest::packageWithPreselectedRandomPassword() {
    userData().setLastIndex(0);
    const QString docs = dir_ + "/docs";
    testing::writeFile(docs + "/one.txt", "one");
    testing::writeFile(docs + "/two.bin", testing::noiseBytes(200000, 3));

    QString password;
    auto accept = [&](QQuickWindow* dialog) {
        password = UiRobot::text(dialog, "passwordField");
        return UiRobot::click(dialog, "okButton");
    };
    Outcome outcome;
    UiRobot robot;
    robot.then("pack prompt", robot.inPrompt(accept)).then("result", robot.acceptResult(&outcome));
    runFlow(robot, {"-p", docs, docs + "/one.txt", docs + "/two.bin"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    const QString package = docs + "/docs.cfr";
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + package);
    QCOMPARE(password.size(), 16);
    QCOMPARE(QGuiApplication::clipboard()->text(), password);
    QCOMPARE(UserData::instance()->lastIndex(), 0);
    QQuickWindow* progress = anyWindow("progressDialog");
    QCOMPARE(progress->height(), 206); // two rounds for a package
    QVERIFY(UiRobot::item(progress, "secondSection")->isVisible());

    QCOMPARE(extract(package, dir_ + "/wrong", "not it"), int(cfr::BadPassword));
    QCOMPARE(extract(package, dir_ + "/out", password), int(cfr::Ok));
    QCOMPARE(testing::treeListing(dir_ + "/out"), (QStringList{"one.txt", "two.bin"}));
    QCOMPARE(testing::readFile(dir_ + "/out/two.bin"), testing::noiseBytes(200000, 3));
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

    int height = 0;
    auto mistype = [&](QQuickWindow* dialog) {
        height = dialog->height();
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
    QCOMPARE(height, 408);
    QCOMPARE(mismatch, QStringLiteral("Password must be the same as confirm!"));
    const QString zip = docs + "/docs.zip";
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + zip);
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
