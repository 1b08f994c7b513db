// The set-up of every Qt Quick Test program: a private HOME, the program's real QML module,
// the touch interface's `Theme` and `Str`, and a QuickTestHelper as the context property
// "TestHelper".
#include "app/qml_module.h"
#include "app/touch_context.h"
#include "quick_test_helper.h"

#include <QLocale>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

#include <vector>

class QuickTestSetup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine* engine) {
        registerQmlTypes(QCoreApplication::instance());
        installTouchContext(*engine, QLocale::system().name());
        engine->rootContext()->setContextProperty(QStringLiteral("TestHelper"),
                                                  new QuickTestHelper(home_.path(), engine));
    }

private:
    // Made before the application object, so every store opens under it.
    testing::TemporaryHome home_;
};

// QUICK_TEST_MAIN_WITH_SETUP, with a QApplication: the program's native dialogs are widgets.
int main(int argc, char** argv) {
    QuickTestSetup setup;
    std::vector<char*> args(argv, argv + argc);
    char widgets[] = "-widgets";
    args.push_back(widgets);
    return quick_test_main_with_setup(int(args.size()), args.data(), "coffret_qml",
                                      QUICK_TEST_SOURCE_DIR, &setup);
}

#include "quick_test_setup.moc"
