#include "library/folder_removal.h"

#include <QDir>
#include <QFileInfo>

bool removeFolderInside(const QString& folder, const QString& root) {
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return false;
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalRoot.isEmpty() || !info.canonicalFilePath().startsWith(canonicalRoot + '/'))
        return false;
    return QDir(folder).removeRecursively();
}
