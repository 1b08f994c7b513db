// The saved passwords: the one list the store keeps and QML views show.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

class PasswordModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role { NameRole = Qt::UserRole + 1, PasswordRole, IndexRole };

    struct Entry {
        QString name;
        QString password;
    };

    explicit PasswordModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE int count() const { return int(entries_.size()); }
    Q_INVOKABLE QString nameAt(int row) const;
    Q_INVOKABLE QString passwordAt(int row) const;

    // The edits, each announced to views as what it is. Rows out of range change nothing.
    void replace(const QVector<Entry>& entries);
    void append(const QString& name, const QString& password);
    void remove(int row);
    void move(int from, int to);

signals:
    void countChanged();

private:
    bool isRow(int row) const { return row >= 0 && row < count(); }
    void renumber(int first, int last);

    QVector<Entry> entries_;
};
