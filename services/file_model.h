// The files and folders gathered for packing, as a list model for the desktop window.
#pragma once

#include <QAbstractListModel>
#include <QFileInfo>
#include <QVector>

class FileModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles {
        FileNameRole = Qt::UserRole + 1,
        FilePathRole,
        FileSizeRole,
        FileKindRole,
        FileSuffixRole,
        IsDirectoryRole,
        FileIndexRole,
    };

    explicit FileModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    int count() const { return entries_.size(); }

    Q_INVOKABLE void addFile(const QString& filePath);
    Q_INVOKABLE void addDirectory(const QString& dirPath);
    Q_INVOKABLE void removeRow(int row);
    Q_INVOKABLE void removeRows(const QList<int>& rows);
    Q_INVOKABLE void clear();
    Q_INVOKABLE QFileInfo getFileInfo(int index) const;
    Q_INVOKABLE QVector<QFileInfo> getAllFileInfos() const;

signals:
    void countChanged();

private:
    struct Entry {
        QString fileName;
        QString filePath;
        QString fileSize;
        QString fileKind;
        QString fileSuffix;
        QFileInfo info;
        bool isDirectory = false;
    };

    void append(const Entry& entry);

    QVector<Entry> entries_;
};
