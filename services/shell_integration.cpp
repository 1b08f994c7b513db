#include "services/shell_integration.h"

#include "services/app_settings.h"

#include <QCoreApplication>

namespace {

const char* const stampKey = "shellIntegration";

QString currentStamp() {
    return QStringLiteral(COFFRET_VERSION_TEXT "|") + QCoreApplication::applicationFilePath();
}

} // namespace

void ensureShellIntegration() {
    if (readAppSetting(QLatin1String(stampKey)) != currentStamp())
        installShellIntegration();
}

void installShellIntegration() {
    if (installThunarActions(QCoreApplication::applicationFilePath()))
        writeAppSetting(QLatin1String(stampKey), currentStamp());
}
