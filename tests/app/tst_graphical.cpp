// The windowed start: desktop or touch interface chosen by COFFRET_MOBILE, the file-manager
// actions installed, the silent update check on the desktop only, and exit code 0 on close.
#include "app/graphical.h"
#include "app/qml_module.h"
#include "secrets/user_data.h"
#include "services/file_picker.h"
#include "services/update_checker.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFileOpenEvent>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class GraphicalTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void interface_data();
    void interface();

private:
    testing::TemporaryHome home_;
};

void GraphicalTest::initTestCase() {
    QVERIFY(home_.isValid());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    UserData::instance()->load();
    registerQmlTypes(qApp);
    // The silent check asks a port where nothing listens instead of the real server.
    updaterSingleton()->setServerAddress(QUrl("http://127.0.0.1:9"));
}

void GraphicalTest::interface_data() {
    QTest::addColumn<QByteArray>("mobile"); // null: unset
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("touch"); // no update check, a file-open filter
    QTest::newRow("desktop") << QByteArray() << "mainWindow"
                             << "Coffret" << QColor("#f0f2f5") << false;
    // The title is the application name in the system's language (LANG=zh_CN.UTF-8 here).
    QTest::newRow("mobile, even when empty")
        << QByteArray("") << "mobileWindow" << QString::fromUtf8("珂匣") << QColor("#ffffff")
        << true;
}

void GraphicalTest::interface() {
    QFETCH(QByteArray, mobile);
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QColor, color);
    QFETCH(bool, touch);
    if (mobile.isNull())
        qunsetenv("COFFRET_MOBILE");
    else
        qputenv("COFFRET_MOBILE", mobile);
    QSignalSpy checks(updaterSingleton(), &UpdateChecker::busyChanged);
    // The root window as shown; a person closes it 3 s later (past the update check).
    QString seenName, seenTitle;
    QSize seenSize;
    QColor seenColor;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        for (QWindow* shown : QGuiApplication::topLevelWindows()) {
            auto* quick = qobject_cast<QQuickWindow*>(shown);
            if (quick && quick->isVisible() && seenName.isEmpty()) {
                seenName = quick->objectName();
                seenTitle = quick->title();
                seenSize = quick->size();
                seenColor = quick->color();
                QTimer::singleShot(3000, quick, &QWindow::close);
            }
        }
    });
    poll.start(20);
    const int code = runGraphical(*qApp);
    qunsetenv("COFFRET_MOBILE");

    QCOMPARE(code, 0);
    QCOMPARE(seenName, window);
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenColor, color);
    if (!touch)
        QCOMPARE(seenSize, QSize(860, 520));
    QCOMPARE(checks.count() > 0, !touch);
    QVERIFY(testing::readFile(QDir::homePath() + "/.config/Thunar/uca.xml").contains("coffret-9"));
    QSignalSpy received(filePickerSingleton(), &FilePicker::fileReceived);
    QFileOpenEvent event(QUrl("file:///data/b.zip"));
    QCoreApplication::sendEvent(qApp, &event);
    QCOMPARE(received.count(), touch ? 1 : 0);
}

QTEST_MAIN(GraphicalTest)
#include "tst_graphical.moc"
