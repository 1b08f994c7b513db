#include "quick_test_setup.h"

#include "app/qml_module.h"
#include "app/touch_context.h"
#include "quick_test_helper.h"

#include <QCoreApplication>
#include <QLocale>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

#include <vector>

void QuickTestSetup::qmlEngineAvailable(QQmlEngine* engine) {
    registerQmlTypes(QCoreApplication::instance());
    installTouchContext(*engine, QLocale::system().name());
    engine->rootContext()->setContextProperty(QStringLiteral("TestHelper"),
                                              new QuickTestHelper(home_.path(), engine));
}

// QUICK_TEST_MAIN_WITH_SETUP, with a QApplication: the program's native dialogs are widgets.
int main(int argc, char** argv) {
    QuickTestSetup setup;
    std::vector<char*> args(argv, argv + argc);
    char widgets[] = "-widgets";
    args.push_back(widgets);
    return quick_test_main_with_setup(int(args.size()), args.data(), "coffret_qml",
                                      QUICK_TEST_SOURCE_DIR, &setup);
}
