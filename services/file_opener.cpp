#include "services/file_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

FileOpener::FileOpener(QObject* parent) : QObject(parent) {}

void FileOpener::openExternally(const QString& filePath) {
    open(filePath);
}

void FileOpener::shareFile(const QString& filePath) {
    open(QFileInfo(filePath).absolutePath());
}

void FileOpener::open(const QString& path) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        emit failed(tr("Could not open %1").arg(path));
}
