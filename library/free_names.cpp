#include "library/free_names.h"

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

QString freeFolderPath(const QString& folder, const QString& base) {
    const QString plain = folder + '/' + base;
    QString candidate = plain;
    for (int n = 1; taken(candidate); ++n)
        candidate = plain + QStringLiteral(" (%1)").arg(n);
    return candidate;
}
