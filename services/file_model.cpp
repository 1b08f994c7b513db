#include "services/file_model.h"

#include "library/size_text.h"

#include <algorithm>
#include <functional>

FileModel::FileModel(QObject* parent) : QAbstractListModel(parent) {}

int FileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : entries_.size();
}

QVariant FileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= entries_.size())
        return {};
    const Entry& entry = entries_.at(index.row());
    switch (role) {
    case FileNameRole:
        return entry.fileName;
    case FilePathRole:
        return entry.filePath;
    case FileSizeRole:
        return entry.fileSize;
    case FileKindRole:
        return entry.fileKind;
    case FileSuffixRole:
        return entry.fileSuffix;
    case IsDirectoryRole:
        return entry.isDirectory;
    case FileIndexRole:
        return index.row();
    default:
        return {};
    }
}

QHash<int, QByteArray> FileModel::roleNames() const {
    return {
        {FileNameRole, "fileName"},     {FilePathRole, "filePath"},
        {FileSizeRole, "fileSize"},     {FileKindRole, "fileKind"},
        {FileSuffixRole, "fileSuffix"}, {IsDirectoryRole, "isDirectory"},
        {FileIndexRole, "fileIndex"},
    };
}

void FileModel::addFile(const QString& filePath) {
    const QFileInfo info(filePath);
    if (!info.exists())
        return;
    Entry entry;
    entry.fileName = info.fileName();
    entry.filePath = info.absolutePath();
    entry.fileSize = sizeText(info.size(), packListSizes);
    entry.fileSuffix = info.suffix();
    entry.fileKind = entry.fileSuffix.isEmpty() ? tr("File") : entry.fileSuffix;
    entry.info = info;
    append(entry);
}

void FileModel::addDirectory(const QString& dirPath) {
    QString path = dirPath;
    while (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isDir())
        return;
    Entry entry;
    entry.fileName = info.fileName();
    entry.filePath = info.absolutePath();
    entry.fileKind = tr("Folder");
    entry.info = info;
    entry.isDirectory = true;
    append(entry);
}

void FileModel::append(const Entry& entry) {
    const int row = entries_.size();
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry);
    endInsertRows();
    emit countChanged();
}

void FileModel::removeRow(int row) {
    if (row < 0 || row >= entries_.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    entries_.remove(row);
    endRemoveRows();
    emit countChanged();
}

void FileModel::removeRows(const QList<int>& rows) {
    // Highest first, so that each removal leaves the rows still to go where they were; a row
    // named twice is removed once.
    QList<int> ordered = rows;
    std::sort(ordered.begin(), ordered.end(), std::greater<int>());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    for (int row : ordered)
        removeRow(row);
}

void FileModel::clear() {
    beginResetModel();
    entries_.clear();
    endResetModel();
    emit countChanged();
}

QFileInfo FileModel::getFileInfo(int index) const {
    return index >= 0 && index < entries_.size() ? entries_.at(index).info : QFileInfo();
}

QVector<QFileInfo> FileModel::getAllFileInfos() const {
    QVector<QFileInfo> infos;
    infos.reserve(entries_.size());
    for (const Entry& entry : entries_)
        infos.append(entry.info);
    return infos;
}
