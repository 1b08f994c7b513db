// Runs the Qt Quick tests of one folder against the program's real QML module: the backend
// singletons, the touch interface's `Theme` and `Str`, under a private HOME, so the library,
// the saved passwords and the settings are real files that nothing else sees.
#include "app/qml_module.h"
#include "app/touch_context.h"
#include "test_files.h"
#include "test_support.h"

#include <QApplication>
#include <QLocale>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

namespace {

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine* engine) {
        installTouchContext(*engine, QLocale::system().name());
        engine->rootContext()->setContextProperty(QStringLiteral("TestFiles"), &files);
    }

private:
    TestFiles files;
};

} // namespace

int main(int argc, char** argv) {
    testing::TemporaryHome home;
    // The services open Qt Widgets dialogs, so the application must be a widget one.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Coffret"));
    QCoreApplication::setApplicationVersion(QStringLiteral(COFFRET_VERSION_TEXT));
    registerQmlTypes(&app);
    Setup setup;
    return quick_test_main_with_setup(argc, argv, COFFRET_QUICK_TEST_NAME, COFFRET_QUICK_TEST_DIR,
                                      &setup);
}

#include "quick_test_main.moc"
