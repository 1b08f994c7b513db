// The user's saved passwords and the last chosen one, kept in ~/.cfr/userdata.
#pragma once

#include "secrets/password_model.h"

#include <QObject>
#include <QString>

class UserData : public QObject {
    Q_OBJECT
public:
    static UserData* instance();

    // Replaces the rows and, when the file holds one, lastIndex with what the file holds.
    void load();
    // Rewrites the whole file; a failed write leaves the previous file untouched, is logged
    // and returns false.
    bool save();
    void setLastIndex(int index);

    int lastIndex() const { return lastIndex_; }
    // The saved passwords, edited in place by the exposer; the same object for the whole
    // process, so every view of it stays valid.
    PasswordModel* model() const { return model_; }

    static QString folderPath();
    static QString filePath();

private:
    UserData();
    static void makeFolder();
    void parse(const QByteArray& text);
    QByteArray serialise() const;
    bool moveDamagedFileAside() const;

    PasswordModel* model_;
    int lastIndex_ = 0;
    // The file on disk could not be decompressed; it goes aside as userdata.bad before a save.
    bool damagedFileOnDisk_ = false;
};
