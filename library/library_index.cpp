#include "library/library_index.h"

#include "library/file_digest.h"
#include "library/folder_digest.h"
#include "library/folder_removal.h"
#include "library/free_names.h"
#include "library/library_folders.h"
#include "library/size_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

LibraryIndex::LibraryIndex(QObject* parent) : QAbstractListModel(parent) {}

int LibraryIndex::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : items_.size();
}

QVariant LibraryIndex::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= items_.size())
        return QVariant();
    const LibraryItem& item = items_.at(index.row());
    switch (role) {
    case ItemIdRole:
        return item.id;
    case TypeRole:
        return Archive;
    case NameRole:
        return item.name;
    case PathRole:
        return item.path;
    case SizeRole:
        return sizeText(item.sizeBytes, librarySizes);
    case SizeBytesRole:
        return item.sizeBytes;
    case DateRole:
        return item.added.toString("yyyy-MM-dd HH:mm");
    case ArchiveIdRole:
        return item.archiveId;
    case ImportedRole:
        return item.imported;
    case SavedPasswordRole:
        return item.password;
    case DecryptedRole:
        return item.decrypted;
    case ExtractionRole:
        return item.extractionPath;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> LibraryIndex::roleNames() const {
    return {
        {ItemIdRole, "itemId"},       {TypeRole, "type"},
        {NameRole, "name"},           {PathRole, "path"},
        {SizeRole, "size"},           {SizeBytesRole, "sizeBytes"},
        {DateRole, "date"},           {ArchiveIdRole, "archiveId"},
        {ImportedRole, "imported"},   {SavedPasswordRole, "savedPassword"},
        {DecryptedRole, "decrypted"}, {ExtractionRole, "extraction"},
    };
}

int LibraryIndex::archiveCount() const {
    return count();
}

int LibraryIndex::extractionCount() const {
    return int(std::count_if(items_.cbegin(), items_.cend(), [](const LibraryItem& item) {
        return !item.extractionPath.isEmpty() && QFileInfo::exists(item.extractionPath);
    }));
}

void LibraryIndex::load() {
    std::optional<QVector<LibraryItem>> loaded = file_.read();
    if (!loaded)
        return;
    bool repaired = false;
    for (LibraryItem& item : *loaded) {
        if (repairLoaded(item))
            repaired = true;
    }
    beginResetModel();
    items_ = std::move(*loaded);
    endResetModel();
    emit countChanged();
    if (repaired)
        save();
    refresh();
}

bool LibraryIndex::repairLoaded(LibraryItem& item) const {
    bool changed = false;
    if (item.hash.isEmpty() && QFileInfo::exists(item.path)) {
        item.hash = fileDigest(item.path);
        changed = !item.hash.isEmpty();
    }
    if (!item.decrypted && !item.extractionPath.isEmpty() &&
        QFileInfo::exists(item.extractionPath)) {
        item.decrypted = true;
        changed = true;
    }
    return changed;
}

bool LibraryIndex::save() {
    return file_.write(items_);
}

QString LibraryIndex::addArchive(const QString& path, bool imported, const QString& password) {
    LibraryItem item;
    item.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    item.name = QFileInfo(path).fileName();
    item.path = path;
    item.sizeBytes = archiveSize(item);
    item.hash = fileDigest(path);
    item.added = QDateTime::currentDateTime();
    item.imported = imported;
    item.password = password;

    const int row = items_.size();
    beginInsertRows(QModelIndex(), row, row);
    items_.append(item);
    endInsertRows();
    emit countChanged();
    save();
    return item.id;
}

QString LibraryIndex::importArchive(const QString& srcPath) {
    const QFileInfo source(srcPath);
    // Only regular files: copying a named pipe would wait for a writer forever.
    if (!source.isFile())
        return QString();
    const QString digest = fileDigest(srcPath);
    if (!digest.isEmpty()) {
        for (const LibraryItem& item : qAsConst(items_)) {
            if (item.hash == digest) {
                emit duplicateDetected(item.id, item.name);
                return QString();
            }
        }
    }
    // A name without a dot gets no extension rather than a trailing dot.
    const QString ext = source.suffix().isEmpty() ? QString() : '.' + source.suffix();
    const QString destination = newArchivePath(source.completeBaseName(), ext);
    if (!QFile::copy(srcPath, destination))
        return QString();
    return addArchive(destination, true, QString());
}

QString LibraryIndex::newArchivePath(const QString& baseName, const QString& ext) {
    const QString folder = archiveFolder(documentsFolder());
    QDir().mkpath(folder);
    return freeArchivePath(folder, safeBaseName(baseName, QStringLiteral("archive")), ext,
                           QDateTime::currentDateTime());
}

QString LibraryIndex::newExtractionDir(const QString& baseName) {
    const QString folder = freePath(extractionFolder(documentsFolder()) + '/' +
                                    safeBaseName(baseName, QStringLiteral("extracted")));
    QDir().mkpath(folder);
    return folder;
}

void LibraryIndex::setPassword(const QString& archiveItemId, const QString& password) {
    const int row = rowForId(archiveItemId);
    if (row < 0 || password.isEmpty())
        return;
    items_[row].password = password;
    notifyRow(row, {SavedPasswordRole});
    save();
}

void LibraryIndex::clearPassword(const QString& archiveItemId) {
    const int row = rowForId(archiveItemId);
    if (row < 0 || items_.at(row).password.isEmpty())
        return;
    items_[row].password.clear();
    notifyRow(row, {SavedPasswordRole});
    save();
}

void LibraryIndex::setDecrypted(const QString& archiveItemId, bool decrypted) {
    const int row = rowForId(archiveItemId);
    if (row < 0 || items_.at(row).decrypted == decrypted)
        return;
    items_[row].decrypted = decrypted;
    notifyRow(row, {DecryptedRole});
    save();
}

void LibraryIndex::setExtraction(const QString& archiveItemId, const QString& folderPath) {
    const int row = rowForId(archiveItemId);
    if (row < 0)
        return;
    items_[row].extractionPath = folderPath;
    items_[row].extractionHash = folderDigest(folderPath);
    notifyRow(row, {ExtractionRole});
    emit countChanged();
    save();
}

QString LibraryIndex::extractionForArchive(const QString& archiveItemId) const {
    const int row = rowForId(archiveItemId);
    if (row < 0)
        return QString();
    const QString& folder = items_.at(row).extractionPath;
    return !folder.isEmpty() && QFileInfo::exists(folder) ? folder : QString();
}

bool LibraryIndex::extractionIntact(const QString& id) const {
    const int row = rowForId(id);
    if (row < 0)
        return false;
    const LibraryItem& item = items_.at(row);
    if (item.extractionPath.isEmpty() || !QFileInfo::exists(item.extractionPath))
        return false;
    if (item.extractionHash.isEmpty())
        return true;
    return folderDigest(item.extractionPath) == item.extractionHash;
}

void LibraryIndex::rename(const QString& id, const QString& newName) {
    const int row = rowForId(id);
    const QString name = newName.trimmed();
    if (row < 0 || name.isEmpty())
        return;
    items_[row].name = name;
    notifyRow(row, {NameRole});
    save();
}

void LibraryIndex::remove(const QString& id, bool deleteFromDisk) {
    const int row = rowForId(id);
    if (row < 0)
        return;
    if (deleteFromDisk)
        QFile::remove(items_.at(row).path);
    beginRemoveRows(QModelIndex(), row, row);
    items_.remove(row);
    endRemoveRows();
    emit countChanged();
    save();
}

void LibraryIndex::clearExtraction(const QString& archiveItemId, bool deleteFromDisk) {
    const int row = rowForId(archiveItemId);
    if (row < 0 || items_.at(row).extractionPath.isEmpty())
        return;
    LibraryItem& item = items_[row];
    if (deleteFromDisk)
        deleteFolder(item.extractionPath);
    item.extractionPath.clear();
    item.extractionHash.clear();
    notifyRow(row, {ExtractionRole});
    emit countChanged();
    save();
}

void LibraryIndex::clearExtractions(bool deleteFromDisk) {
    bool changed = false;
    for (int row = 0; row < items_.size(); ++row) {
        LibraryItem& item = items_[row];
        if (item.extractionPath.isEmpty())
            continue;
        if (deleteFromDisk)
            deleteFolder(item.extractionPath);
        item.extractionPath.clear();
        item.extractionHash.clear();
        notifyRow(row, {ExtractionRole});
        changed = true;
    }
    if (!changed)
        return;
    emit countChanged();
    save();
}

int LibraryIndex::rowForId(const QString& id) const {
    for (int row = 0; row < items_.size(); ++row) {
        if (items_.at(row).id == id)
            return row;
    }
    return -1;
}

void LibraryIndex::refresh() {
    bool changed = false;
    // From the end, so a removal does not shift the rows still to visit.
    for (int row = items_.size() - 1; row >= 0; --row) {
        if (!QFileInfo::exists(items_.at(row).path)) {
            beginRemoveRows(QModelIndex(), row, row);
            items_.remove(row);
            endRemoveRows();
            changed = true;
            continue;
        }
        const qint64 size = archiveSize(items_.at(row));
        if (size != items_.at(row).sizeBytes) {
            items_[row].sizeBytes = size;
            notifyRow(row, {SizeRole, SizeBytesRole});
            changed = true;
        }
    }
    if (!changed)
        return;
    emit countChanged();
    save();
}

qint64 LibraryIndex::archiveSize(const LibraryItem& item) const {
    const QFileInfo info(item.path);
    return info.isFile() ? info.size() : 0;
}

void LibraryIndex::deleteFolder(const QString& folder) const {
    // Only what the library itself created may be wiped out recursively.
    removeFolderInside(folder, extractionFolder(documentsFolder()));
}

void LibraryIndex::notifyRow(int row, const QVector<int>& roles) {
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, roles);
}
