#include "secrets/user_data_exposer.h"

#include "secrets/user_data.h"

#include <QFileInfo>

namespace {

bool fitsOnOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QChar(0));
}

} // namespace

UserDataExposer::UserDataExposer(QObject* parent) : QObject(parent) {}

PasswordModel* UserDataExposer::passwordModel() const {
    return UserData::instance()->model();
}

int UserDataExposer::lastIndex() const {
    return UserData::instance()->lastIndex();
}

void UserDataExposer::load() {
    const int previousIndex = lastIndex();
    UserData::instance()->load();
    if (lastIndex() != previousIndex)
        emit lastIndexChanged();
}

bool UserDataExposer::save() {
    return UserData::instance()->save();
}

void UserDataExposer::setLastIndex(int index) {
    UserData::instance()->setLastIndex(index);
    emit lastIndexChanged();
}

QString UserDataExposer::storageStatus() const {
    const QFileInfo file(UserData::filePath());
    return QStringLiteral("path=%1\nexists=%2 size=%3 loaded=%4")
        .arg(file.filePath(), file.exists() ? QStringLiteral("YES") : QStringLiteral("NO"),
             QString::number(file.exists() ? file.size() : 0),
             QString::number(passwordModel()->count()));
}

bool UserDataExposer::addPassword(const QString& name, const QString& password) {
    if (!fitsOnOneLine(name) || !fitsOnOneLine(password))
        return false;
    passwordModel()->append(name, password);
    UserData::instance()->save();
    emit passwordsChanged();
    return true;
}

void UserDataExposer::removePassword(int index) {
    passwordModel()->remove(index);
    UserData::instance()->save();
    emit passwordsChanged();
}

void UserDataExposer::movePassword(int from, int to) {
    passwordModel()->move(from, to);
    UserData::instance()->save();
    emit passwordsChanged();
}
