#include "secrets/vault_auth.h"

#include "services/app_settings.h"

#include <QCryptographicHash>
#include <QRandomGenerator64>
#include <QSettings>

namespace {

const QString saltKey = QStringLiteral("vault/salt");
const QString itersKey = QStringLiteral("vault/iters");
const QString verifierKey = QStringLiteral("vault/verifier");

QByteArray randomSalt() {
    quint32 words[4];
    QRandomGenerator64::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words);
}

QByteArray hexSetting(const QSettings& settings, const QString& key) {
    return QByteArray::fromHex(settings.value(key).toString().toLatin1());
}

// SHA-256 applied iterations times, first to the salt followed by the UTF-8 password.
QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    QByteArray digest = salt + password.toUtf8();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int round = 0; round < iterations; ++round) {
        hash.reset();
        hash.addData(digest);
        digest = hash.result();
    }
    return digest;
}

// Looks at every byte whatever the others hold, so timing tells nothing of where they differ.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (int i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

VaultAuth::VaultAuth(QObject* parent) : QObject(parent) {}

bool VaultAuth::hasMasterPassword() const {
    return !openAppSettings()->value(verifierKey).toString().isEmpty();
}

bool VaultAuth::setMasterPassword(const QString& password) {
    if (password.isEmpty())
        return false;
    const QByteArray salt = randomSalt();
    const QByteArray verifier = derive(password, salt, defaultIterations);
    {
        const auto settings = openAppSettings();
        settings->setValue(saltKey, QString::fromLatin1(salt.toHex()));
        settings->setValue(verifierKey, QString::fromLatin1(verifier.toHex()));
        settings->setValue(itersKey, defaultIterations);
        settings->sync();
    }
    emit configChanged();
    setUnlocked(true);
    return true;
}

bool VaultAuth::unlock(const QString& password) {
    const auto settings = openAppSettings();
    const QByteArray salt = hexSetting(*settings, saltKey);
    const QByteArray verifier = hexSetting(*settings, verifierKey);
    const int iterations = settings->value(itersKey, defaultIterations).toInt();
    if (verifier.isEmpty())
        return false;
    if (!sameBytes(derive(password, salt, iterations), verifier))
        return false;
    setUnlocked(true);
    return true;
}

void VaultAuth::lock() {
    setUnlocked(false);
}

void VaultAuth::setUnlocked(bool unlocked) {
    if (unlocked_ == unlocked)
        return;
    unlocked_ = unlocked;
    emit unlockedChanged();
}
