// The desktop window of the real coffret program on a private X server, used as a person
// would: master password, import through the file dialog, unlock, pack two files as a
// package from the Pack tab, restart. The desktop's file handler is a stand-in xdg-open that
// writes down what it was given.
#include "pack_files.h"
#include "test_support.h"
#include "x_session.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString master = QStringLiteral("master-1");

// Where the window's controls are: fixed sizes of an 860 x 520 window.
const QPoint firstVaultRow(300, 72);
const QPoint importButton(808, 493);
const QPoint packTab(150, 22);
const QPoint filesButton(92, 489);
const QPoint packButton(804, 489);
const QPoint menuButton(28, 493);
const QPoint unlockButton(430, 348);

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void importUnlockPackAndRestart();

private:
    XWindow startMainWindow(QProcess& process);
    void click(const XWindow& window, QPoint at, int button = 1) const {
        x_.clickAt(window, at.x(), at.y(), button);
    }
    // Answers the file dialog with that title by typing into its name field.
    void answerFileDialog(const QString& title, const QString& answer) const;
    QStringList opened() const;

    testing::TemporaryHome home_;
    XSession x_;
    QTemporaryDir work_;
};

void DesktopTest::initTestCase() {
    QVERIFY(QFileInfo::exists(XSession::program()));
    QVERIFY(x_.start());
    const QString bin = work_.path() + "/bin";
    QDir().mkpath(bin);
    QVERIFY(testing::writeFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> \"$OPENED_LOG\"\n"));
    QFile(bin + "/xdg-open").setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    testing::writeFile(work_.path() + "/in/a.txt", "alpha");
    testing::writeFile(work_.path() + "/in/b.txt", "beta");
    testing::writeFile(work_.path() + "/secret.txt", "secret");
    QVERIFY(packFiles(work_.path() + "/Secret.cfr", {work_.path() + "/secret.txt"}, "vault-pw"));
}

XWindow DesktopTest::startMainWindow(QProcess& process) {
    QProcessEnvironment env = x_.environment();
    env.insert("PATH", work_.path() + "/bin:" + env.value("PATH"));
    env.insert("OPENED_LOG", work_.path() + "/opened.log");
    x_.launch(process, {}, env);
    return x_.waitForWindow("^Coffret$", 860, 60000); // a sanitized build starts slowly
}

void DesktopTest::answerFileDialog(const QString& title, const QString& answer) const {
    const XWindow dialog = x_.waitForWindow(title, 0, 30000);
    QVERIFY2(dialog.isValid(), qPrintable(title));
    x_.type(dialog, answer, {"Return"});
    QTRY_VERIFY_WITH_TIMEOUT(!x_.isShown(dialog), 30000);
}

QStringList DesktopTest::opened() const {
    QStringList lines =
        QString::fromUtf8(testing::readFile(work_.path() + "/opened.log")).split('\n');
    lines.removeAll(QString());
    for (QString& line : lines)
        line.remove(QRegularExpression("^file://"));
    return lines;
}

void DesktopTest::importUnlockPackAndRestart() {
    QProcess first;
    const XWindow window = startMainWindow(first);
    QVERIFY(window.isValid());
    x_.screenshot(window, "master-password");
    x_.type(window, master, {"Tab"});
    x_.type(window, master, {"Return"});
    x_.screenshot(window, "vault-empty");

    click(window, importButton);
    answerFileDialog(QString::fromUtf8("将压缩包导入保险库"), work_.path() + "/Secret.cfr");
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
                     QString("\"%1/a.txt\" \"%1/b.txt\"").arg(work_.path() + "/in"));
    x_.screenshot(window, "pack-files");
    click(window, packButton);
    answerFileDialog(QString::fromUtf8("保存打包文件"), work_.path() + "/two.zip");
    const XWindow packPrompt = x_.waitForWindow(QString::fromUtf8("^密码$"), 360, 30000);
    QVERIFY(packPrompt.isValid());
    x_.key(packPrompt, "Return"); // the random password, copied to the clipboard on OK
    const QString package = work_.path() + "/two.cfr"; // the format's suffix, not ".zip"
    const QString index = home_.path() + "/.local/share/Coffret/library.json";
    QTRY_VERIFY_WITH_TIMEOUT(testing::readFile(index).contains("two.cfr"), 30000);
    const QString password = QString::fromUtf8(x_.x("xclip", {"-o", "-selection", "clipboard"}));
    x_.key(window, "Escape"); // closes the success message
    click(window, menuButton);
    x_.key(window, "Down");
    x_.key(window, "Return");
    const XWindow manager = x_.waitForWindow(QString::fromUtf8("^密码管理$"), 0, 30000);
    QVERIFY(manager.isValid());
    x_.screenshot(manager, "password-manager");
    XSession::stop(first);

    // The package holds one encrypted zip, which holds the two files.
    const QString outer = work_.path() + "/outer";
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
    XSession::stop(second);
}

QTEST_GUILESS_MAIN(DesktopTest)
#include "tst_desktop_xvfb.moc"
