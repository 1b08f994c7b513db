// One folder of an extraction as a list for the touch browser: folders first, then files,
// each group by name. It follows changes on disk, says when the folder can no longer be
// read, and never climbs above the folder it was opened at.
#pragma once

#include <QAbstractListModel>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QVector>

class FolderListing : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(QString rootFolder READ rootFolder WRITE setRootFolder NOTIFY folderChanged)
    Q_PROPERTY(QString folder READ folder NOTIFY folderChanged)
    Q_PROPERTY(bool readable READ readable NOTIFY listingChanged)

public:
    enum Roles { FileNameRole = Qt::UserRole + 1, FilePathRole, IsDirectoryRole, FileSizeRole };

    explicit FolderListing(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString rootFolder() const { return root_; }
    void setRootFolder(const QString& path);
    QString folder() const { return folder_; }
    bool readable() const { return readable_; }

    // Opens a folder listed in the current one; anything else is ignored.
    Q_INVOKABLE void enter(const QString& name);
    // One level up; false, and nothing changed, when already at the root folder.
    Q_INVOKABLE bool up();

signals:
    void folderChanged();
    void listingChanged();

private:
    bool atRoot() const { return folder_ == root_; }
    void show(const QString& path);
    void reload();

    QString root_;
    QString folder_;
    bool readable_ = false;
    QVector<QFileInfo> entries_;
    QFileSystemWatcher watcher_;
};
