#include "app/unique_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Keeps the root folder from growing a double slash.
QString inFolder(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

QString uniqueExtractionDir(const QString& parent, const QString& archive) {
    QString name = QFileInfo(archive).completeBaseName();
    // ".zip" alone would otherwise name the parent folder itself.
    if (name.isEmpty())
        name = QStringLiteral("extracted");
    const QString base = inFolder(parent, name);
    QString candidate = base;
    // A file of that name blocks the folder as surely as a folder does.
    for (int k = 1; QFileInfo::exists(candidate); ++k)
        candidate = base + QStringLiteral(" (%1)").arg(k);
    return candidate;
}

QString uniquePackDestination(const QString& folder, const QString& name, const QString& suffix) {
    // Cleaned first, so "docs/" still names its archive after "docs".
    const QFileInfo info(QDir::cleanPath(folder.isEmpty() ? QDir::homePath() : folder));
    QString stem = name.isEmpty() ? info.completeBaseName() : name;
    if (stem.isEmpty())
        stem = QStringLiteral("archive");
    const QString prefix = inFolder(info.absoluteFilePath(), stem);
    QString candidate = prefix + suffix;
    for (int k = 1; QFile::exists(candidate); ++k)
        candidate = prefix + QStringLiteral(" (%1)").arg(k) + suffix;
    return candidate;
}
