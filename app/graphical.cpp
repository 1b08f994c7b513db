#include "app/graphical.h"

#include "app/file_open_filter.h"
#include "app/qml_module.h"
#include "app/touch_context.h"
#include "services/shell_integration.h"
#include "services/update_checker.h"

#include <QApplication>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QTimer>

namespace {

const int updateCheckDelayMs = 2500;

QUrl prepareMobile(QApplication& app, QQmlApplicationEngine& engine) {
    QQuickStyle::setStyle(QStringLiteral("iOS"));
    installTouchContext(engine, QLocale::system().name());
    app.installEventFilter(new FileOpenFilter(&app));
    return QUrl(QStringLiteral("qrc:/Coffret/qml/MobileApp.qml"));
}

void scheduleSilentUpdateCheck(QApplication& app) {
    QTimer::singleShot(updateCheckDelayMs, Qt::CoarseTimer, &app, [] {
        if (UpdateChecker* updater = updaterSingleton())
            updater->check(false);
    });
}

} // namespace

void loadRootDocument(QQmlApplicationEngine& engine, const QUrl& document) {
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, QCoreApplication::instance(),
        [document](QObject* object, const QUrl& url) {
            if (!object && url == document)
                QCoreApplication::exit(-1);
        },
        Qt::QueuedConnection);
    engine.load(document);
}

int runGraphical(QApplication& app) {
    QGuiApplication::setQuitOnLastWindowClosed(true);
    ensureShellIntegration();
    registerQmlTypes(&app);

    QQmlApplicationEngine engine;
    const bool mobile = qEnvironmentVariableIsSet("COFFRET_MOBILE");
    const QUrl document =
        mobile ? prepareMobile(app, engine) : QUrl(QStringLiteral("qrc:/Coffret/qml/Main.qml"));

    loadRootDocument(engine, document);
    if (!mobile)
        scheduleSilentUpdateCheck(app);
    return app.exec();
}
