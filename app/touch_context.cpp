#include "app/touch_context.h"

#include "app/app_logging.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>

namespace {

void setContextObject(QQmlEngine& engine, const QString& document, const char* contextName,
                      const QVariantMap& initialProperties = {}) {
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

} // namespace

void installTouchContext(QQmlEngine& engine, const QString& systemLocaleName) {
    setContextObject(engine, QStringLiteral("Tokens.qml"), "Theme");
    setContextObject(engine, QStringLiteral("Strings.qml"), "Str",
                     {{QStringLiteral("systemLocaleName"), systemLocaleName}});
}
