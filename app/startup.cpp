#include "app/startup.h"

#include "app/app_logging.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

const char* const applicationTranslation = "Coffret_zh_CN";

void installQtTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString dir = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qt_") + QLocale::system().name(), dir))
        return;
    app.installTranslator(translator);
    qCDebug(lcApp).noquote() << "Qt translations loaded from:" << dir;
}

void installApplicationTranslation(QCoreApplication& app, const QString& programPath) {
    auto* translator = new QTranslator(&app);
    const QString dir = applicationTranslationDir(programPath);
    if (translator->load(QLatin1String(applicationTranslation), dir, QStringLiteral("_"),
                         QStringLiteral(".qm"))) {
        app.installTranslator(translator);
        qCDebug(lcApp).noquote() << "Application translations loaded from:" << dir;
        qCDebug(lcApp).noquote() << "Using Chinese translations";
    } else {
        qCDebug(lcApp).noquote() << "Failed to load translations from:" << dir;
        qCDebug(lcApp).noquote() << "Looking for Coffret_zh_CN.qm in:" << dir;
    }
}

} // namespace

void setApplicationIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("Coffret"));
    QCoreApplication::setApplicationVersion(QStringLiteral(COFFRET_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/MAIN")));
}

void discoverP7zipPlugin(const QString& programDir) {
    if (!qEnvironmentVariableIsEmpty("CFR_P7ZIP_LIB"))
        return;
    const QStringList candidates = {programDir + QStringLiteral("/../lib/coffret/7z.so"),
                                    programDir + QStringLiteral("/7z.so")};
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            qputenv("CFR_P7ZIP_LIB", QFileInfo(candidate).absoluteFilePath().toUtf8());
            return;
        }
    }
}

QString applicationTranslationDir(const QString& programPath) {
    // A bare name was found through PATH, not in the current folder.
    const QString programDir = programPath.contains('/') ? QFileInfo(programPath).absolutePath()
                                                         : QCoreApplication::applicationDirPath();
    const QString shared =
        QDir::cleanPath(programDir + QStringLiteral("/../share/coffret/translations"));
    const QString file = shared + '/' + QLatin1String(applicationTranslation) + ".qm";
    return QFileInfo::exists(file) ? shared : programDir;
}

void installTranslations(QCoreApplication& app, const QString& programPath) {
    installQtTranslation(app);
    installApplicationTranslation(app, programPath);
}
