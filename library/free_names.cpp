#include "library/free_names.h"

#include "core/entry_names.h"

#include <QFileInfo>

namespace {
// A dangling symbolic link does not "exist" but still takes the name.
bool taken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
} // namespace

QString safeBaseName(const QString& baseName, const QString& fallback) {
    QString name = baseName;
    name.replace('/', '_');
    name.remove(QChar(0));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return fallback;
    return name;
}

QString freeArchivePath(const QString& folder, const QString& base, const QString& ext,
                        const QDateTime& now) {
    QString suffix = ext;
    suffix.replace('/', '_');
    const QString plain = folder + '/' + base + suffix;
    if (!taken(plain))
        return plain;
    const QString stamped = folder + '/' + base + '_' + now.toString("yyyyMMdd_HHmmss");
    if (!taken(stamped + suffix))
        return stamped + suffix;
    for (int n = 1;; ++n) {
        const QString candidate = stamped + '_' + QString::number(n) + suffix;
        if (!taken(candidate))
            return candidate;
    }
}

QString freePath(const QString& stem, const QString& suffix,
                 const std::function<bool(const QString&)>& alsoTaken) {
    return QString::fromStdString(cfr::freeName(
        stem.toStdString(), suffix.toStdString(), [&alsoTaken](const std::string& candidate) {
            const QString path = QString::fromStdString(candidate);
            return taken(path) || (alsoTaken && alsoTaken(path));
        }));
}
