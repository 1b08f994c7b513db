// The master password: verifier format in the real settings store, unlocking and signals.
#include "secrets/vault_auth.h"
#include "test_support.h"

#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString setting(const QString& key) {
    return QSettings("Mervale", "Coffret").value(key).toString();
}

// The verifier worked out by Python's hashlib, not by the code under test.
QString referenceVerifier(const QByteArray& salt, const QString& password, int rounds) {
    const testing::ToolRun run = testing::runTool(
        "python3", {"-c",
                    "import hashlib, sys\n"
                    "b = bytes.fromhex(sys.argv[1]) + bytes.fromhex(sys.argv[2])\n"
                    "for _ in range(int(sys.argv[3])):\n"
                    "    b = hashlib.sha256(b).digest()\n"
                    "print(b.hex(), end='')\n",
                    salt.toHex(), password.toUtf8().toHex(), QString::number(rounds)});
    return run.exitCode == 0 ? QString::fromLatin1(run.out) : QString("python3 failed");
}

} // namespace

class TestVaultAuth : public QObject {
    Q_OBJECT

    // Settings paths are fixed at the first use, so one private HOME serves every case.
    testing::TemporaryHome home_;

private slots:
    void init() {
        QVERIFY(home_.isValid());
        QSettings("Mervale", "Coffret").remove("vault");
    }

    void settingStoresSaltedVerifier() {
        VaultAuth vault;
        QSignalSpy config(&vault, &VaultAuth::configChanged);
        QSignalSpy unlocked(&vault, &VaultAuth::unlockedChanged);
        QVERIFY(!vault.setMasterPassword(""));
        QVERIFY(!vault.hasMasterPassword());
        QCOMPARE(config.count(), 0);
        const QString password = QString::fromUtf8("pässwörd ✓");

        QVERIFY(vault.setMasterPassword(password));
        QCOMPARE(config.count(), 1);
        QCOMPARE(unlocked.count(), 1);
        QVERIFY(vault.unlocked());

        const QString salt = setting("vault/salt");
        const QString verifier = setting("vault/verifier");
        QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(salt).hasMatch(), qPrintable(salt));
        QCOMPARE(setting("vault/iters"), QString("120000"));
        QCOMPARE(verifier,
                 referenceVerifier(QByteArray::fromHex(salt.toLatin1()), password, 120000));
    }

    // A verifier written by another program, with its own iteration count.
    void unlockFollowsTheStoredVerifierAndSignalsOnlyOnChange() {
        const int rounds = 1000; // not the default
        const QByteArray salt = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        {
            QSettings settings("Mervale", "Coffret");
            settings.setValue("vault/salt", QString::fromLatin1(salt.toHex()));
            settings.setValue("vault/verifier", referenceVerifier(salt, "secret", rounds));
            settings.setValue("vault/iters", QString::number(rounds));
        }
        VaultAuth vault;
        QSignalSpy unlocked(&vault, &VaultAuth::unlockedChanged);
        QVERIFY(vault.hasMasterPassword());
        QVERIFY(!vault.unlock("secret "));
        QVERIFY(!vault.unlocked());
        QVERIFY(vault.unlock("secret"));
        QVERIFY(vault.unlock("secret"));
        QCOMPARE(unlocked.count(), 1);

        vault.lock();
        vault.lock();
        QVERIFY(!vault.unlocked());
        QCOMPARE(unlocked.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestVaultAuth)
#include "tst_vault_auth.moc"
