#include "test_files.h"

#include "test_support.h"

#include <QDir>
#include <QFileInfo>

QString TestFiles::write(const QString& relative, const QString& text) {
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).path());
    return testing::writeFile(target, text.toUtf8()) ? target : QString();
}

QString TestFiles::path(const QString& relative) const {
    return dir_.filePath(relative);
}

bool TestFiles::exists(const QString& path) const {
    return QFileInfo::exists(path);
}

bool TestFiles::removeTree(const QString& path) const {
    return QDir(path).removeRecursively();
}
