// What QML sees of the saved passwords: the list model and the edits, each saved at once.
#pragma once

#include "secrets/password_model.h"

#include <QObject>
#include <QString>

class UserDataExposer : public QObject {
    Q_OBJECT
    Q_PROPERTY(PasswordModel* passwordModel READ passwordModel CONSTANT)
    Q_PROPERTY(int lastIndex READ lastIndex WRITE setLastIndex NOTIFY lastIndexChanged)
public:
    explicit UserDataExposer(QObject* parent = nullptr);

    // The store's own list: every exposer shows the same one.
    PasswordModel* passwordModel() const;
    int lastIndex() const;

    Q_INVOKABLE void load();
    // False when the passwords could not be written to disk.
    Q_INVOKABLE bool save();
    Q_INVOKABLE void setLastIndex(int index);
    Q_INVOKABLE QString storageStatus() const;
    // False, and nothing stored, when the name or password holds a line break or a zero
    // character: the file keeps one value per line and could not give them back.
    Q_INVOKABLE bool addPassword(const QString& name, const QString& password);
    Q_INVOKABLE void removePassword(int index);
    Q_INVOKABLE void movePassword(int from, int to);

signals:
    void lastIndexChanged();
    void passwordsChanged();
};
