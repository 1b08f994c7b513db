#include "app/password_helper.h"

#include <QCoreApplication>
#include <QVariant>

PasswordHelper::PasswordHelper(QObject* dialog, QObject* parent)
    : QObject(parent), dialog(dialog) {}

void PasswordHelper::onAccepted() {
    password = dialog->property("enteredPassword").toString();
    accepted = true;
    QCoreApplication::quit();
}

void PasswordHelper::onRejected() {
    QCoreApplication::quit();
}
