#include "library/folder_files.h"

#include <QDir>
#include <QDirIterator>
#include <algorithm>

namespace {
// QDir::Hidden is left out on purpose: hidden files and whatever lies in hidden folders are
// not part of what the user extracted.
constexpr QDir::Filters VisibleFiles = QDir::Files | QDir::NoSymLinks;
} // namespace

QStringList visibleFilesBelow(const QString& folder) {
    const QDir base(folder);
    QStringList relative;
    QDirIterator it(folder, VisibleFiles, QDirIterator::Subdirectories);
    while (it.hasNext())
        relative << base.relativeFilePath(it.next());
    std::sort(relative.begin(), relative.end());
    return relative;
}
