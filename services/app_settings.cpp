#include "services/app_settings.h"

#include <QSettings>

namespace {

const char* const organisation = "Mervale";
const char* const application = "Coffret";

} // namespace

QString readAppSetting(const QString& key, const QString& defaultValue) {
    QSettings settings(organisation, application);
    return settings.value(key, defaultValue).toString();
}

void writeAppSetting(const QString& key, const QString& value) {
    QSettings settings(organisation, application);
    settings.setValue(key, value);
    settings.sync();
}
