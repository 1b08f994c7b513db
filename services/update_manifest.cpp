#include "services/update_manifest.h"

#include <QJsonDocument>
#include <QJsonObject>

ManifestReading readUpdateManifest(const QByteArray& body, const QString& platform) {
    ManifestReading reading;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        reading.problem = QStringLiteral("parse error: ") + error.errorString();
        return reading;
    }
    if (!document.isObject()) {
        reading.problem = QStringLiteral("parse error: the manifest is not a JSON object");
        return reading;
    }
    const QJsonObject platforms = document.object().value(QLatin1String("platforms")).toObject();
    if (!platforms.contains(platform)) {
        reading.problem = QStringLiteral("no manifest entry for platform: ") + platform;
        return reading;
    }
    const QJsonObject entry = platforms.value(platform).toObject();
    reading.ok = true;
    reading.offer.version = entry.value(QLatin1String("version")).toString();
    reading.offer.url = entry.value(QLatin1String("url")).toString();
    reading.offer.notes = entry.value(QLatin1String("notes")).toString();
    reading.offer.available = entry.value(QLatin1String("available")).toBool(false);
    reading.offer.hasSha256 = entry.contains(QLatin1String("sha256"));
    reading.offer.sha256 = entry.value(QLatin1String("sha256")).toString().trimmed().toLower();
    return reading;
}
