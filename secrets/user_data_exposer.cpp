#include "secrets/user_data_exposer.h"

#include "secrets/user_data.h"

#include <QFileInfo>
#include <QStandardItemModel>

namespace {

bool fitsOnOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

QStandardItemModel* storeModel() {
    return UserData::instance()->model();
}

} // namespace

UserDataExposer::UserDataExposer(QObject* parent)
    : QObject(parent), model_(new PasswordModel(this)) {}

int UserDataExposer::lastIndex() const {
    return UserData::instance()->lastIndex();
}

void UserDataExposer::load() {
    const int previousIndex = lastIndex();
    UserData::instance()->load();
    // Views may already show the list, so they are told it was replaced.
    model_->setSource(storeModel());
    if (lastIndex() != previousIndex)
        emit lastIndexChanged();
}

bool UserDataExposer::save() {
    const bool saved = UserData::instance()->save();
    model_->refresh();
    return saved;
}

void UserDataExposer::setLastIndex(int index) {
    UserData::instance()->setLastIndex(index);
    emit lastIndexChanged();
}

QString UserDataExposer::storageStatus() const {
    const QFileInfo file(UserData::filePath());
    return QStringLiteral("path=%1\nexists=%2 size=%3 loaded=%4")
        .arg(file.filePath(), file.exists() ? QStringLiteral("YES") : QStringLiteral("NO"),
             QString::number(file.exists() ? file.size() : 0), QString::number(model_->count()));
}

bool UserDataExposer::addPassword(const QString& name, const QString& password) {
    if (!fitsOnOneLine(name) || !fitsOnOneLine(password))
        return false;
    storeModel()->appendRow({new QStandardItem(name), new QStandardItem(password)});
    model_->append(name, password);
    UserData::instance()->save();
    emit passwordsChanged();
    return true;
}

void UserDataExposer::removePassword(int index) {
    storeModel()->removeRows(index, 1);
    model_->remove(index);
    UserData::instance()->save();
    emit passwordsChanged();
}

void UserDataExposer::movePassword(int from, int to) {
    QStandardItemModel* store = storeModel();
    const int rows = store->rowCount();
    if (from >= 0 && from < rows && to >= 0 && to < rows && from != to)
        store->insertRow(to, store->takeRow(from));
    model_->move(from, to);
    UserData::instance()->save();
    emit passwordsChanged();
}
