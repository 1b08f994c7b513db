#include "services/folder_listing.h"

#include "library/size_text.h"

#include <QDir>

FolderListing::FolderListing(QObject* parent) : QAbstractListModel(parent) {
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderListing::reload);
}

int FolderListing::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : entries_.size();
}

QVariant FolderListing::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= entries_.size())
        return {};
    const QFileInfo& info = entries_.at(index.row());
    switch (role) {
    case FileNameRole:
        return info.fileName();
    case FilePathRole:
        return info.absoluteFilePath();
    case IsDirectoryRole:
        return info.isDir();
    case FileSizeRole:
        return info.isDir() ? QString() : sizeText(info.size(), packListSizes);
    default:
        return {};
    }
}

QHash<int, QByteArray> FolderListing::roleNames() const {
    return {{FileNameRole, "fileName"},
            {FilePathRole, "filePath"},
            {IsDirectoryRole, "isDirectory"},
            {FileSizeRole, "fileSize"}};
}

void FolderListing::setRootFolder(const QString& path) {
    root_ = QDir::cleanPath(QDir(path).absolutePath());
    show(root_);
}

void FolderListing::enter(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String("."))
        return;
    const QString path = folder_ + QLatin1Char('/') + name;
    if (QFileInfo(path).isDir())
        show(path);
}

bool FolderListing::up() {
    if (atRoot())
        return false;
    show(QFileInfo(folder_).path());
    return true;
}

void FolderListing::show(const QString& path) {
    folder_ = path;
    emit folderChanged();
    reload();
}

void FolderListing::reload() {
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    const QFileInfo info(folder_);
    // A folder deleted or locked while it is shown lists as nothing, and says so.
    readable_ = info.isDir() && info.isReadable() && info.isExecutable();
    beginResetModel();
    entries_.clear();
    if (readable_) {
        entries_ = QDir(folder_)
                       .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                      QDir::DirsFirst | QDir::Name | QDir::IgnoreCase)
                       .toVector();
        watcher_.addPath(folder_);
    }
    endResetModel();
    emit listingChanged();
}
