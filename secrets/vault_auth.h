// The master password that opens the vault pages. Only a salted, iterated SHA-256 verifier
// is kept, in the settings store; nothing is enciphered with the password.
#pragma once

#include <QObject>
#include <QString>

class VaultAuth : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool unlocked READ unlocked NOTIFY unlockedChanged)
    Q_PROPERTY(bool hasMasterPassword READ hasMasterPassword NOTIFY configChanged)
public:
    static constexpr int defaultIterations = 120000;

    explicit VaultAuth(QObject* parent = nullptr);

    bool unlocked() const { return unlocked_; }
    bool hasMasterPassword() const;

    // Sets or replaces the master password and unlocks; false only for an empty password.
    Q_INVOKABLE bool setMasterPassword(const QString& password);
    // Whether password matches the stored verifier; unlocks when it does.
    Q_INVOKABLE bool unlock(const QString& password);
    Q_INVOKABLE void lock();

signals:
    void unlockedChanged();
    void configChanged();

private:
    void setUnlocked(bool unlocked);

    bool unlocked_ = false;
};
