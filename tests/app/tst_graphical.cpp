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

namespace {

struct RootSeen {
    QString objectName;
    QString title;
    QSize size;
    QColor color;
};

// Waits for the interface's root window, then closes it as a person would after waitMs.
void closeRootWindowLater(RootSeen* seen, int waitMs) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, seen, waitMs] {
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            auto* quick = qobject_cast<QQuickWindow*>(window);
            if (!quick || !quick->isVisible())
                continue;
            *seen = {quick->objectName(), quick->title(), quick->size(), quick->color()};
            poll->deleteLater();
            QTimer::singleShot(waitMs, quick, &QWindow::close);
            return;
        }
    });
    poll->start(20);
}

} // namespace

class GraphicalTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void desktop();
    void mobileEvenWhenEmpty();

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
    qunsetenv("COFFRET_MOBILE");
}

void GraphicalTest::desktop() {
    QSignalSpy checks(updaterSingleton(), &UpdateChecker::busyChanged);
    RootSeen seen;
    closeRootWindowLater(&seen, 3000);
    QCOMPARE(runGraphical(*qApp), 0);

    QCOMPARE(seen.objectName, QStringLiteral("mainWindow"));
    QCOMPARE(seen.title, QStringLiteral("Coffret"));
    QCOMPARE(seen.size, QSize(860, 520));
    QCOMPARE(seen.color, QColor("#f0f2f5"));
    QVERIFY2(checks.count() >= 1, "no silent update check 2.5 s after start");
    const QString actions = QDir::homePath() + "/.config/Thunar/uca.xml";
    QVERIFY(testing::readFile(actions).contains("coffret-9"));

    // The desktop installs no file-open filter.
    QSignalSpy received(filePickerSingleton(), &FilePicker::fileReceived);
    QFileOpenEvent event(QStringLiteral("/data/a.cfr"));
    QCoreApplication::sendEvent(qApp, &event);
    QCOMPARE(received.count(), 0);
}

void GraphicalTest::mobileEvenWhenEmpty() {
    qputenv("COFFRET_MOBILE", "");
    QSignalSpy checks(updaterSingleton(), &UpdateChecker::busyChanged);
    RootSeen seen;
    closeRootWindowLater(&seen, 3000);
    const int code = runGraphical(*qApp);
    qunsetenv("COFFRET_MOBILE");
    QCOMPARE(code, 0);

    QCOMPARE(seen.objectName, QStringLiteral("mobileWindow"));
    // Str and Theme exist: the title is the application name in the system's language (this
    // test runs with LANG=zh_CN.UTF-8), the colour a token.
    QCOMPARE(seen.title, QString::fromUtf8("珂匣"));
    QCOMPARE(seen.color, QColor("#ffffff"));
    QCOMPARE(checks.count(), 0);

    QSignalSpy received(filePickerSingleton(), &FilePicker::fileReceived);
    QFileOpenEvent event(QUrl("file:///data/b.zip"));
    QCoreApplication::sendEvent(qApp, &event);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.first().first().toString(), QStringLiteral("/data/b.zip"));
}

QTEST_MAIN(GraphicalTest)
#include "tst_graphical.moc"
