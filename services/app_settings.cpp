#include "services/app_settings.h"

#include <QSettings>

std::unique_ptr<QSettings> openAppSettings() {
    return std::make_unique<QSettings>(QStringLiteral("Mervale"), QStringLiteral("Coffret"));
}

QString readAppSetting(const QString& key, const QString& defaultValue) {
    return openAppSettings()->value(key, defaultValue).toString();
}

void writeAppSetting(const QString& key, const QString& value) {
    const auto settings = openAppSettings();
    settings->setValue(key, value);
    settings->sync();
}
