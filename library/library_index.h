// The vault's index: every archive packed into or imported into the library, with its saved
// password and the folder it was last extracted into. A list model for the vault pages,
// mirrored at once into library.json after every change.
#pragma once

#include "library/library_file.h"
#include "library/library_item.h"

#include <QAbstractListModel>
#include <QVector>

class LibraryIndex : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int archiveCount READ archiveCount NOTIFY countChanged)
    Q_PROPERTY(int extractionCount READ extractionCount NOTIFY countChanged)

public:
    // What the "type" role holds; every item is an archive.
    enum ItemType : qint32 { Archive = 0 };
    Q_ENUM(ItemType)

    enum Role {
        ItemIdRole = Qt::UserRole + 1,
        TypeRole,
        NameRole,
        PathRole,
        SizeRole,
        SizeBytesRole,
        DateRole,
        ArchiveIdRole,
        ImportedRole,
        SavedPasswordRole,
        DecryptedRole,
        ExtractionRole,
    };

    explicit LibraryIndex(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return items_.size(); }
    int archiveCount() const;
    // Asks the disk at every read: folders can vanish behind the program's back.
    int extractionCount() const;

    Q_INVOKABLE void load();
    // False, with a warning in the log, when library.json could not be written.
    Q_INVOKABLE bool save();

    Q_INVOKABLE QString addArchive(const QString& path, bool imported = false,
                                   const QString& password = QString());
    Q_INVOKABLE QString importArchive(const QString& srcPath);
    Q_INVOKABLE QString newArchivePath(const QString& baseName, const QString& ext);
    Q_INVOKABLE QString newExtractionDir(const QString& baseName);

    Q_INVOKABLE void setPassword(const QString& archiveItemId, const QString& password);
    Q_INVOKABLE void clearPassword(const QString& archiveItemId);
    Q_INVOKABLE void setDecrypted(const QString& archiveItemId, bool decrypted);
    Q_INVOKABLE void setExtraction(const QString& archiveItemId, const QString& folderPath);
    Q_INVOKABLE QString extractionForArchive(const QString& archiveItemId) const;
    Q_INVOKABLE bool extractionIntact(const QString& id) const;
    Q_INVOKABLE void rename(const QString& id, const QString& newName);

    // The short forms differ on purpose: removing an item keeps its file unless asked, while
    // clearing extractions deletes the folders unless asked not to.
    Q_INVOKABLE void remove(const QString& id, bool deleteFromDisk = false);
    Q_INVOKABLE void clearExtraction(const QString& archiveItemId, bool deleteFromDisk = true);
    Q_INVOKABLE void clearExtractions(bool deleteFromDisk = true);

    Q_INVOKABLE int rowForId(const QString& id) const;
    Q_INVOKABLE void refresh();

signals:
    void countChanged();
    void duplicateDetected(const QString& existingId, const QString& existingName);

private:
    // Brings a freshly read item up to date with the disk; true when it changed.
    bool repairLoaded(LibraryItem& item) const;
    qint64 archiveSize(const LibraryItem& item) const;
    void deleteFolder(const QString& folder) const;
    void notifyRow(int row, const QVector<int>& roles);

    QVector<LibraryItem> items_;
    LibraryFile file_;
};
