// The QML module and the windowed start: the documents load without a warning, a broken
// root document ends the loop, and the interface COFFRET_MOBILE chooses, with the
// file-manager actions installed, the silent update check on the desktop only, the file-open
// filter on touch only, and exit code 0 on close.
#include "app/graphical.h"
#include "app/qml_module.h"
#include "app/touch_context.h"
#include "secrets/user_data.h"
#include "services/file_picker.h"
#include "services/update_checker.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFileOpenEvent>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Creates a document's root object; the engine's warnings and the component's errors go
// into *problems.
std::unique_ptr<QObject> create(QQmlEngine& engine, const QUrl& url, QStringList* problems) {
    QObject::connect(&engine, &QQmlEngine::warnings, &engine,
                     [problems](const QList<QQmlError>& warnings) {
                         for (const QQmlError& warning : warnings)
                             *problems << warning.toString();
                     });
    QQmlComponent component(&engine, url);
    std::unique_ptr<QObject> object(component.create());
    for (const QQmlError& error : component.errors())
        *problems << error.toString();
    return object;
}

} // namespace

class QmlModuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void documentsLoad_data();
    void documentsLoad();
    void brokenRootDocumentLeavesTheLoopWithMinusOne();
    void interface_data();
    void interface();

private:
    testing::TemporaryHome home_;
};

void QmlModuleTest::initTestCase() {
    QVERIFY(home_.isValid());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    UserData::instance()->load();
    registerQmlTypes(qApp);
    // Nothing here may reach the real download server: the silent check asks a port where
    // nothing listens.
    updaterSingleton()->setServerAddress(QUrl("http://127.0.0.1:9"));
}

void QmlModuleTest::documentsLoad_data() {
    QTest::addColumn<QString>("document");
    for (const char* document : {"Main.qml", "MobileApp.qml", "PasswordDialog.qml",
                                 "ProgressDialog.qml", "ResultDialog.qml"})
        QTest::newRow(document) << QString::fromLatin1(document);
}

void QmlModuleTest::documentsLoad() {
    QFETCH(QString, document);
    QQmlEngine engine;
    installTouchContext(engine, QLocale::system().name()); // the touch interface's Theme and Str
    QStringList problems;
    std::unique_ptr<QObject> root = create(engine, QUrl("qrc:/Coffret/qml/" + document), &problems);
    QVERIFY2(root, qPrintable(problems.join('\n')));
    QTest::qWait(50);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void QmlModuleTest::brokenRootDocumentLeavesTheLoopWithMinusOne() {
    QTemporaryDir dir;
    const QString broken = dir.path() + "/Broken.qml";
    QVERIFY(testing::writeFile(broken, "import QtQuick 2.15\nItem { notAProperty: 1 }\n"));
    QQmlApplicationEngine engine;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(42); });
    guard.start(5000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*Broken.qml.*notAProperty.*"));
    loadRootDocument(engine, QUrl::fromLocalFile(broken));
    QCOMPARE(qApp->exec(), -1);
}

void QmlModuleTest::interface_data() {
    QTest::addColumn<QByteArray>("mobile"); // null: unset
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("touch");
    QTest::newRow("desktop") << QByteArray() << "mainWindow"
                             << "Coffret" << false;
    // The title is the application name in the system's language (LANG=zh_CN.UTF-8 here).
    QTest::newRow("mobile, even when empty")
        << QByteArray("") << "mobileWindow" << QString::fromUtf8("珂匣") << true;
}

// Last: the touch interface leaves its file-open filter installed.
void QmlModuleTest::interface() {
    QFETCH(QByteArray, mobile);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(bool, touch);
    if (mobile.isNull())
        qunsetenv("COFFRET_MOBILE");
    else
        qputenv("COFFRET_MOBILE", mobile);
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

QTEST_MAIN(QmlModuleTest)
#include "tst_qml_module.moc"
