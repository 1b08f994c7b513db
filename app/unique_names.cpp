#include "app/unique_names.h"

#include "library/free_names.h"

#include <QDir>
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
    return freePath(inFolder(parent, name));
}

QString uniquePackDestination(const QString& folder, const QString& name, const QString& suffix) {
    // Cleaned first, so "docs/" still names its archive after "docs".
    const QFileInfo info(QDir::cleanPath(folder.isEmpty() ? QDir::homePath() : folder));
    QString stem = name.isEmpty() ? info.completeBaseName() : name;
    if (stem.isEmpty())
        stem = QStringLiteral("archive");
    return freePath(inFolder(info.absoluteFilePath(), stem), suffix);
}
