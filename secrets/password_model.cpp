#include "secrets/password_model.h"

PasswordModel::PasswordModel(QObject* parent) : QAbstractListModel(parent) {}

int PasswordModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant PasswordModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !isRow(index.row()))
        return {};
    const Entry& entry = entries_.at(index.row());
    switch (role) {
    case NameRole:
        return entry.name;
    case PasswordRole:
        return entry.password;
    case IndexRole:
        return index.row();
    default:
        return {};
    }
}

QHash<int, QByteArray> PasswordModel::roleNames() const {
    return {{NameRole, "passwordName"}, {PasswordRole, "password"}, {IndexRole, "passwordIndex"}};
}

QString PasswordModel::nameAt(int row) const {
    return isRow(row) ? entries_.at(row).name : QString();
}

QString PasswordModel::passwordAt(int row) const {
    return isRow(row) ? entries_.at(row).password : QString();
}

void PasswordModel::replace(const QVector<Entry>& entries) {
    beginResetModel();
    entries_ = entries;
    endResetModel();
    emit countChanged();
}

void PasswordModel::append(const QString& name, const QString& password) {
    beginInsertRows(QModelIndex(), count(), count());
    entries_.append({name, password});
    endInsertRows();
    emit countChanged();
}

void PasswordModel::remove(int row) {
    if (!isRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    entries_.remove(row);
    endRemoveRows();
    renumber(row, count() - 1);
    emit countChanged();
}

void PasswordModel::move(int from, int to) {
    if (!isRow(from) || !isRow(to) || from == to)
        return;
    // Qt names the destination as the row the moved one is placed before.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), from < to ? to + 1 : to);
    entries_.move(from, to);
    endMoveRows();
    renumber(qMin(from, to), qMax(from, to));
}

// Views keep the row numbers they were given; tell them which ones a remove or move changed.
void PasswordModel::renumber(int first, int last) {
    if (first <= last)
        emit dataChanged(index(first), index(last), {IndexRole});
}
