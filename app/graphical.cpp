#include "app/graphical.h"

#include "app/app_logging.h"
#include "app/file_open_filter.h"
#include "app/qml_module.h"
#include "services/shell_integration.h"
#include "services/update_checker.h"

#include <QApplication>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickStyle>
#include <QTimer>

namespace {

const int updateCheckDelayMs = 2500;

// Creates one of the touch interface's global objects; a failure leaves it null.
void setContextObject(QQmlApplicationEngine& engine, const QString& document,
                      const char* contextName, const QVariantMap& initialProperties = {}) {
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/Coffret/qml/") + document));
    QObject* object =
        component.createWithInitialProperties(initialProperties, engine.rootContext());
    if (object)
        object->setParent(&engine);
    else
        qCWarning(lcApp).noquote()
            << QStringLiteral("Failed to create %1:").arg(document) << component.errorString();
    engine.rootContext()->setContextProperty(QLatin1String(contextName), object);
}

QUrl prepareMobile(QApplication& app, QQmlApplicationEngine& engine) {
    QQuickStyle::setStyle(QStringLiteral("iOS"));
    setContextObject(engine, QStringLiteral("Tokens.qml"), "Theme");
    setContextObject(engine, QStringLiteral("Strings.qml"), "Str",
                     {{QStringLiteral("systemLocaleName"), QLocale::system().name()}});
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
