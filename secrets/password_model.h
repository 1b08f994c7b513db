// The saved passwords as a list for QML views, rebuilt from the store's item model.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

class QStandardItemModel;

class PasswordModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role { NameRole = Qt::UserRole + 1, PasswordRole, IndexRole };

    explicit PasswordModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE int count() const { return int(entries_.size()); }
    Q_INVOKABLE QString nameAt(int row) const;
    Q_INVOKABLE QString passwordAt(int row) const;

    // Used by the exposer only, which keeps the store in the same order.
    // Replaces the entries with the rows of source inside a model reset.
    void setSource(const QStandardItemModel* source);
    void refresh();
    void append(const QString& name, const QString& password);
    void remove(int row);
    void move(int from, int to);

signals:
    void countChanged();

private:
    struct Entry {
        QString name;
        QString password;
    };

    bool isRow(int row) const { return row >= 0 && row < count(); }
    void rebuild();
    void renumber(int first, int last);

    QVector<Entry> entries_;
    const QStandardItemModel* source_ = nullptr;
};
