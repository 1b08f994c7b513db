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

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

void runFlow(const QStringList& args) {
    const Argv argv(args);
    runCommandLine(*qApp, commandForm(argv.argc(), argv.argv()), argv.argc(), argv.argv());
}

int packWithEngine(const QStringList& inputs, const QString& dest, const QString& password) {
    QList<QByteArray> utf8;
    std::vector<const char*> pointers;
    for (const QString& input : inputs)
        utf8 << input.toUtf8();
    for (const QByteArray& input : utf8)
        pointers.push_back(input.constData());
    return cfr::pack(pointers.data(), int(pointers.size()), dest.toUtf8().constData(),
                     password.toUtf8().constData(), nullptr, nullptr);
}

int extractWithEngine(const QString& archive, const QString& folder, const QString& password) {
    return cfr::extract(archive.toUtf8().constData(), folder.toUtf8().constData(),
                        password.toUtf8().constData(), nullptr, nullptr);
}

const QStringList workerMessages{"Cannot open file", "Wrong password or corrupt file",
                                 "Unsupported format", "Operation failed"};

// The window with that object name, shown or not.
QQuickWindow* anyWindow(const QString& name) {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->objectName() == name)
            return qobject_cast<QQuickWindow*>(window);
    }
    return nullptr;
}

bool windowShown(const QString& name) {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && window->objectName() == name)
            return true;
    }
    return false;
}

QString windowText(QQuickWindow* window, const char* property) {
    return window->property(property).toString();
}

// The result window, once shown: its message and error flag, then OK pressed.
struct Outcome {
    QString message;
    bool isError = false;
    bool heightLocked = false;
};

UiRobot::Step readResultAndPressOk(const UiRobot& robot, Outcome* outcome) {
    return [&robot, outcome] {
        QQuickWindow* result = robot.shownWindow("resultDialog");
        if (!result || result->height() <= 1 || result->minimumHeight() <= 1)
            return false;
        outcome->message = windowText(result, "message");
        outcome->isError = result->property("isError").toBool();
        outcome->heightLocked = result->minimumHeight() == result->maximumHeight() &&
                                result->height() == result->minimumHeight();
        return UiRobot::click(result, "okButton");
    };
}

UiRobot::Step dismissPasswordWindow(const UiRobot& robot) {
    return [&robot] {
        QQuickWindow* dialog = robot.shownWindow("passwordDialog");
        if (!dialog)
            return false;
        // The title bar's close button: refused, the window hides and reports a dismissal.
        dialog->close();
        return true;
    };
}

} // namespace

class CliFlowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void doubleClickedPlainZipAsksNothing();
    void doubleClickedPackageOffersLastSavedPassword();
    void wrongPasswordShowsTheBareMessage();
    void emptyPasswordIsRefused();
    void choosingEntriesChangesThePackPrompt();
    void packageWithPreselectedRandomPassword();
    void encryptedZipWithTypedPassword();
    void tarGzWithoutPasswordAvoidsTakenName();
    void separateFoldersLeaveOutDismissedArchive();
    void everyPromptDismissedShowsNothingMore();
    void extractOneIntoParentWithBlanks();
    void unreadableArchivesShowErrors_data();
    void unreadableArchivesShowErrors();

private:
    UserDataExposer& userData();
    QString makePackage(const QString& name, const QString& password);
    QString makePlainZip(const QString& name);

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

// The "UserData" singleton the windows read, as the program registers it.
UserDataExposer& CliFlowsTest::userData() {
    const auto exposers =
        qApp->findChildren<UserDataExposer*>(QString(), Qt::FindDirectChildrenOnly);
    Q_ASSERT(exposers.size() == 1);
    return *exposers.first();
}

QString CliFlowsTest::makePackage(const QString& name, const QString& password) {
    const QString source = dir_ + "/source-" + name;
    testing::writeFile(source + "/secret.txt", "the secret of " + name.toUtf8());
    testing::writeFile(source + "/deep/more.bin", testing::noiseBytes(4096, 7));
    const QString package = dir_ + '/' + name;
    if (packWithEngine({source + "/secret.txt", source + "/deep"}, package, password) != 0)
        return QString();
    return package;
}

QString CliFlowsTest::makePlainZip(const QString& name) {
    const QString source = dir_ + "/source-" + name;
    testing::writeFile(source + "/a.txt", "alpha");
    testing::writeFile(source + "/sub/b.txt", "beta");
    const testing::ToolRun run =
        testing::runTool("zip", {"-qr", dir_ + '/' + name, "a.txt", "sub"}, source);
    return run.exitCode == 0 ? dir_ + '/' + name : QString();
}

void CliFlowsTest::doubleClickedPlainZipAsksNothing() {
    const QString zip = makePlainZip("photos.zip");
    QVERIFY(!zip.isEmpty());
    QVERIFY(QDir().mkpath(dir_ + "/photos"));
    QVERIFY(QDir().mkpath(dir_ + "/photos (1)"));

    Outcome outcome;
    UiRobot robot;
    robot.then("result", readResultAndPressOk(robot, &outcome)).start();
    runFlow({zip});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY(!robot.windowsSeen().contains("passwordDialog"));
    QVERIFY(!outcome.isError);
    QVERIFY(outcome.heightLocked);
    const QString folder = dir_ + "/photos (2)";
    QCOMPARE(outcome.message, "Extract succeeded!\nFiles extracted to: " + folder);
    QCOMPARE(testing::treeListing(folder), (QStringList{"a.txt", "sub/", "sub/b.txt"}));
    QCOMPARE(testing::readFile(folder + "/sub/b.txt"), QByteArray("beta"));
    QVERIFY(!windowShown("resultDialog"));
}

void CliFlowsTest::doubleClickedPackageOffersLastSavedPassword() {
    userData().addPassword("other", "not this one");
    userData().addPassword("work", "s3cret pass");
    userData().setLastIndex(2); // pack numbering: saved password 1
    const QString package = makePackage("Report.CFR", "s3cret pass");
    QVERIFY(!package.isEmpty());

    QString label;
    QString prefilled;
    int shownHeight = 0;
    int chosen = -2;
    Outcome outcome;
    UiRobot robot;
    robot
        .then("unlock prompt",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  label = UiRobot::item(dialog, "passwordLabel")->property("text").toString();
                  prefilled = UiRobot::item(dialog, "passwordField")->property("text").toString();
                  chosen = UiRobot::item(dialog, "choiceBox")->property("currentIndex").toInt();
                  shownHeight = dialog->height();
                  return UiRobot::click(dialog, "okButton");
              })
        .then("result", readResultAndPressOk(robot, &outcome))
        .start();
    runFlow({package});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(label, QStringLiteral("Password for \"Report.CFR\""));
    QCOMPARE(prefilled, QStringLiteral("s3cret pass"));
    QCOMPARE(chosen, 1);
    QCOMPARE(shownHeight, 268);
    QVERIFY2(!outcome.isError, qPrintable(outcome.message));
    QCOMPARE(testing::readFile(dir_ + "/Report/secret.txt"),
             QByteArray("the secret of Report.CFR"));
    QCOMPARE(testing::readFile(dir_ + "/Report/deep/more.bin"), testing::noiseBytes(4096, 7));
    QCOMPARE(UserData::instance()->lastIndex(), 2);
}

void CliFlowsTest::wrongPasswordShowsTheBareMessage() {
    userData().setLastIndex(0); // a random password of a pack: nothing preselected to unlock
    const QString package = makePackage("locked.cfr", "right");
    QVERIFY(!package.isEmpty());

    QString prefilled = "unset";
    Outcome outcome;
    UiRobot robot;
    robot
        .then("unlock prompt",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  prefilled = UiRobot::item(dialog, "passwordField")->property("text").toString();
                  UiRobot::type(dialog, "passwordField", "wrong");
                  return UiRobot::click(dialog, "okButton");
              })
        .then("error result closed from the title bar",
              [&] {
                  QQuickWindow* result = robot.shownWindow("resultDialog");
                  if (!result)
                      return false;
                  outcome.message = windowText(result, "message");
                  outcome.isError = result->property("isError").toBool();
                  result->close();
                  return true;
              })
        .start();
    runFlow({package});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(prefilled, QString());
    QVERIFY(outcome.isError);
    QCOMPARE(outcome.message, QStringLiteral("Wrong password or corrupt file"));
}

void CliFlowsTest::emptyPasswordIsRefused() {
    userData().setLastIndex(0);
    testing::writeFile(dir_ + "/a.txt", "a");

    int randomHeight = 0;
    int randomLength = 0;
    bool copyShown = false;
    QString warning;
    bool stillShown = false;
    UiRobot robot;
    robot
        .then("pack prompt with a random password, emptied",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  randomHeight = dialog->height();
                  copyShown = UiRobot::item(dialog, "copyButton")->isVisible();
                  QQuickItem* field = UiRobot::item(dialog, "passwordField");
                  randomLength = field->property("text").toString().size();
                  field->setProperty("text", QString());
                  UiRobot::item(dialog, "confirmField")->setProperty("text", QString());
                  return UiRobot::click(dialog, "okButton");
              })
        .then("warning", UiRobot::acceptMessageBox(&warning))
        .then("escape",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (UiRobot::shownMessageBox() || !dialog)
                      return false;
                  stillShown = true;
                  UiRobot::pressEscape(dialog);
                  return true;
              })
        .start();
    runFlow({"-p", dir_, dir_ + "/a.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(randomHeight, 372);
    QCOMPARE(randomLength, 16);
    QVERIFY(copyShown);
    QCOMPARE(warning, QStringLiteral("Input password please!"));
    QVERIFY(stillShown);
    QVERIFY(!robot.windowsSeen().contains("progressDialog"));
    QVERIFY(!QFileInfo::exists(dir_ + "/a.cfr"));
}

void CliFlowsTest::choosingEntriesChangesThePackPrompt() {
    userData().setLastIndex(0);
    if (userData().passwordModel()->count() == 0)
        userData().addPassword("home", "h0me pass");
    const QString first = userData().passwordModel()->passwordAt(0);
    testing::writeFile(dir_ + "/a.txt", "a");

    struct State {
        int height = 0;
        QString password;
        QString confirm;
        bool confirmShown = false;
        bool copyShown = false;
    };
    auto read = [](QQuickWindow* dialog) {
        return State{dialog->height(),
                     UiRobot::item(dialog, "passwordField")->property("text").toString(),
                     UiRobot::item(dialog, "confirmField")->property("text").toString(),
                     UiRobot::item(dialog, "confirmField")->isVisible(),
                     UiRobot::item(dialog, "copyButton")->isVisible()};
    };
    State saved;
    State random;
    QString copiedMessage;
    QString clipboard;
    UiRobot robot;
    robot
        .then("choose the first saved password",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  QQuickItem* box = UiRobot::item(dialog, "choiceBox");
                  box->setProperty("currentIndex", 1);
                  QMetaObject::invokeMethod(box, "activated", Q_ARG(int, 1));
                  saved = read(dialog);
                  return UiRobot::click(dialog, "randomButton");
              })
        .then("random password, copied by hand",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog || !UiRobot::item(dialog, "copyButton")->isVisible())
                      return false;
                  random = read(dialog);
                  return UiRobot::click(dialog, "copyButton");
              })
        .then("copied notice",
              [&] {
                  QMessageBox* box = UiRobot::shownMessageBox();
                  if (!box)
                      return false;
                  copiedMessage = box->text();
                  clipboard = QGuiApplication::clipboard()->text();
                  box->button(QMessageBox::Ok)->click();
                  return true;
              })
        .then("dismiss", dismissPasswordWindow(robot))
        .start();
    runFlow({"-p", dir_, dir_ + "/a.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(saved.height, 408);
    QCOMPARE(saved.password, first);
    QCOMPARE(saved.confirm, first);
    QVERIFY(saved.confirmShown);
    QVERIFY(!saved.copyShown);
    QCOMPARE(random.height, 372);
    QCOMPARE(random.password.size(), 16);
    QCOMPARE(random.confirm, random.password);
    QVERIFY(random.password != first);
    QVERIFY(!random.confirmShown);
    QCOMPARE(copiedMessage, QStringLiteral("Password copied!"));
    QCOMPARE(clipboard, random.password);
    // Dismissed: nothing packed, the choice not remembered.
    QVERIFY(!QFileInfo::exists(dir_ + "/a.cfr"));
    QCOMPARE(UserData::instance()->lastIndex(), 0);
}

void CliFlowsTest::packageWithPreselectedRandomPassword() {
    userData().setLastIndex(0);
    const QString docs = dir_ + "/docs";
    testing::writeFile(docs + "/one.txt", "one");
    testing::writeFile(docs + "/two.bin", testing::noiseBytes(200000, 3));

    QString password;
    Outcome outcome;
    UiRobot robot;
    robot
        .then("pack prompt",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  password = UiRobot::item(dialog, "passwordField")->property("text").toString();
                  return UiRobot::click(dialog, "okButton");
              })
        .then("result", readResultAndPressOk(robot, &outcome))
        .start();
    runFlow({"-p", docs, docs + "/one.txt", docs + "/two.bin"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    const QString package = docs + "/docs.cfr";
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + package);
    QCOMPARE(password.size(), 16);
    QCOMPARE(QGuiApplication::clipboard()->text(), password);
    QCOMPARE(UserData::instance()->lastIndex(), 0);
    QQuickWindow* progress = anyWindow("progressDialog");
    QVERIFY(progress);
    QCOMPARE(progress->height(), 160); // two rounds for a package
    QVERIFY(UiRobot::item(progress, "secondSection")->isVisible());

    QCOMPARE(extractWithEngine(package, dir_ + "/wrong", "not it"), int(cfr::BadPassword));
    QCOMPARE(extractWithEngine(package, dir_ + "/out", password), int(cfr::Ok));
    QCOMPARE(testing::treeListing(dir_ + "/out"), (QStringList{"one.txt", "two.bin"}));
    QCOMPARE(testing::readFile(dir_ + "/out/two.bin"), testing::noiseBytes(200000, 3));
}

void CliFlowsTest::encryptedZipWithTypedPassword() {
    userData().setLastIndex(-1); // nothing to preselect: the confirmation is shown
    const QString docs = dir_ + "/docs";
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        testing::writeFile(docs + '/' + name, QByteArray("text of ") + name);

    int confirmHeight = 0;
    QString mismatch;
    Outcome outcome;
    UiRobot robot;
    robot
        .then("typed password, mistyped confirmation",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (!dialog)
                      return false;
                  confirmHeight = dialog->height();
                  UiRobot::type(dialog, "passwordField", "Tr0ub4dor&3");
                  UiRobot::type(dialog, "confirmField", "Tr0ub4dor&4");
                  return UiRobot::click(dialog, "okButton");
              })
        .then("mismatch warning", UiRobot::acceptMessageBox(&mismatch))
        .then("confirmation fixed",
              [&] {
                  QQuickWindow* dialog = robot.shownWindow("passwordDialog");
                  if (UiRobot::shownMessageBox() || !dialog)
                      return false;
                  UiRobot::item(dialog, "confirmField")->setProperty("text", QString());
                  UiRobot::type(dialog, "confirmField", "Tr0ub4dor&3");
                  return UiRobot::click(dialog, "okButton");
              })
        .then("result", readResultAndPressOk(robot, &outcome))
        .start();
    runFlow({"-pk", ".zip", "1", docs, docs + "/a.txt", docs + "/b.txt", docs + "/c.txt"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(confirmHeight, 408);
    QCOMPARE(mismatch, QStringLiteral("Password must be the same as confirm!"));
    const QString zip = docs + "/docs.zip";
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + zip);
    QVERIFY(testing::runTool("7z", {"t", "-pnot-it", zip}).exitCode != 0);
    const testing::ToolRun run =
        testing::runTool("7z", {"x", "-pTr0ub4dor&3", "-o" + dir_ + "/out", zip});
    QVERIFY2(run.exitCode == 0, run.out.constData());
    QCOMPARE(testing::readFile(dir_ + "/out/c.txt"), QByteArray("text of c.txt"));
}

void CliFlowsTest::tarGzWithoutPasswordAvoidsTakenName() {
    testing::writeFile(dir_ + "/report.pdf", testing::noiseBytes(30000, 5));
    testing::writeFile(dir_ + "/report.tar.gz", "taken");

    Outcome outcome;
    UiRobot robot;
    robot.then("result", readResultAndPressOk(robot, &outcome)).start();
    runFlow({"-pk", ".tar.gz", "0", dir_, dir_ + "/report.pdf"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY(!robot.windowsSeen().contains("passwordDialog"));
    const QString archive = dir_ + "/report (1).tar.gz";
    QCOMPARE(outcome.message, "Pack succeeded!\nFile saved: " + archive);
    QCOMPARE(testing::readFile(dir_ + "/report.tar.gz"), QByteArray("taken"));
    const testing::ToolRun listing = testing::runTool("bsdtar", {"-tzf", archive});
    QCOMPARE(listing.exitCode, 0);
    QCOMPARE(listing.out.trimmed(), QByteArray("report.pdf"));
    QCOMPARE(anyWindow("progressDialog")->height(), 104); // one bar
}

void CliFlowsTest::separateFoldersLeaveOutDismissedArchive() {
    const QString locked = makePackage("locked.cfr", "pw");
    const QString plain = makePlainZip("plain.zip");
    QVERIFY(!locked.isEmpty() && !plain.isEmpty());
    const QString out = dir_ + "/out";
    QVERIFY(QDir().mkpath(out));

    Outcome outcome;
    UiRobot robot;
    robot.then("dismiss the package's prompt", dismissPasswordWindow(robot))
        .then("result", readResultAndPressOk(robot, &outcome))
        .start();
    runFlow({"-xs", out, locked, plain});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY2(!outcome.isError, qPrintable(outcome.message));
    QCOMPARE(outcome.message, "Extract succeeded!\nFiles extracted to: " + out);
    QCOMPARE(testing::treeListing(out),
             (QStringList{"plain/", "plain/a.txt", "plain/sub/", "plain/sub/b.txt"}));
}

void CliFlowsTest::everyPromptDismissedShowsNothingMore() {
    const QString first = makePackage("first.cfr", "one");
    const QString second = makePackage("second.cfr", "two");
    const QString out = dir_ + "/out";
    QVERIFY(QDir().mkpath(out));

    UiRobot robot;
    robot.then("dismiss the first prompt", dismissPasswordWindow(robot))
        .then("dismiss the second prompt", dismissPasswordWindow(robot))
        .start();
    runFlow({"-xc", out, first, second});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY(!robot.windowsSeen().contains("progressDialog"));
    QVERIFY(!robot.windowsSeen().contains("resultDialog"));
    QCOMPARE(testing::treeListing(out), QStringList());
}

void CliFlowsTest::extractOneIntoParentWithBlanks() {
    const QString zip = makePlainZip("bundle.zip");
    const QString parent = dir_ + "/parent";
    QVERIFY(QDir().mkpath(parent + "/bundle"));

    Outcome outcome;
    UiRobot robot;
    robot.then("result", readResultAndPressOk(robot, &outcome)).start();
    runFlow({"-x", "  " + parent + " ", zip, "ignored.zip"});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QCOMPARE(outcome.message, "Extract succeeded!\nFiles extracted to: " + parent + "/bundle (1)");
    QCOMPARE(testing::readFile(parent + "/bundle (1)/a.txt"), QByteArray("alpha"));
}

void CliFlowsTest::unreadableArchivesShowErrors_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing") << "nothere.zip" << QByteArray();
    QTest::newRow("noise") << "noise.zip" << testing::noiseBytes(5000, 11);
    QTest::newRow("empty file") << "empty.cfr" << QByteArray("");
}

void CliFlowsTest::unreadableArchivesShowErrors() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString archive = dir_ + '/' + name;
    if (!content.isNull())
        QVERIFY(testing::writeFile(archive, content));

    Outcome outcome;
    UiRobot robot;
    robot.then("result", readResultAndPressOk(robot, &outcome)).start();
    runFlow({archive});

    QVERIFY2(robot.finished(), qPrintable(robot.failure()));
    QVERIFY(outcome.isError);
    QVERIFY2(workerMessages.contains(outcome.message), qPrintable(outcome.message));
}

QTEST_MAIN(CliFlowsTest)
#include "tst_cli_flows.moc"
