// The master password in the real settings store; the saved-password store, its list model
// and the exposer, on real files. All in a private HOME.
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "secrets/vault_auth.h"
#include "test_support.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

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

// The permission bits as ls shows them, 0600 for example.
int modeOf(const QString& path) {
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                     : -1;
}

QString storePath() {
    return QDir::homePath() + "/.cfr/userdata";
}

QByteArray storedText() {
    return qUncompress(testing::readFile(storePath()));
}

// The names in the model's order, each followed by its password: "Pp Qq".
QString entries(const PasswordModel* model) {
    QStringList pairs;
    for (int row = 0; row < model->count(); ++row)
        pairs << model->nameAt(row) + model->passwordAt(row);
    return pairs.join(' ');
}

} // namespace

class TestSecrets : public QObject {
    Q_OBJECT

    // Settings paths are fixed at their first use, so one private HOME serves every case.
    testing::TemporaryHome home_;
    UserDataExposer exposer_; // stateless in front of the one store

private slots:
    void init() {
        QVERIFY(home_.isValid());
        QSettings("Mervale", "Coffret").remove("vault");
        // The store lives for the whole process: start every case from a clean one.
        UserData::instance()->setLastIndex(0);
        QDir(QDir::homePath() + "/.cfr").removeRecursively();
        exposer_.load();
    }

    // The verifier written is the one Python works out; one written by another program, with
    // its own iteration count, unlocks.
    void verifierIsSaltedAndFollowedAndUnlockSignalsOnlyOnChange() {
        VaultAuth vault;
        QSignalSpy config(&vault, &VaultAuth::configChanged);
        QSignalSpy unlocked(&vault, &VaultAuth::unlockedChanged);
        QVERIFY(!vault.setMasterPassword(""));
        QVERIFY(!vault.hasMasterPassword());
        QCOMPARE(config.count(), 0);
        const QString password = QString::fromUtf8("pässwörd ✓");
        QVERIFY(vault.setMasterPassword(password));
        QVERIFY(vault.hasMasterPassword() && vault.unlocked());
        QCOMPARE(config.count(), 1);
        const QString salt = setting("vault/salt");
        QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(salt).hasMatch(), qPrintable(salt));
        QCOMPARE(setting("vault/iters"), QString("120000"));
        QCOMPARE(setting("vault/verifier"),
                 referenceVerifier(QByteArray::fromHex(salt.toLatin1()), password, 120000));

        vault.lock();
        const QByteArray otherSalt = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
        {
            QSettings settings("Mervale", "Coffret");
            settings.setValue("vault/salt", QString::fromLatin1(otherSalt.toHex()));
            settings.setValue("vault/verifier", referenceVerifier(otherSalt, "secret", 1000));
            settings.setValue("vault/iters", "1000");
        }
        QVERIFY(!vault.unlock("secret "));
        QVERIFY(!vault.unlocked());
        QVERIFY(vault.unlock("secret"));
        QVERIFY(vault.unlock("secret"));
        vault.lock();
        vault.lock();
        QCOMPARE(unlocked.count(), 4); // on, off, on, off
    }

    void missingFileLoadsEmptyAndSaveCreatesPrivateFile() {
        QCOMPARE(exposer_.passwordModel()->count(), 0);
        QCOMPARE(modeOf(QDir::homePath() + "/.cfr"), 0700);
        QVERIFY(exposer_.storageStatus().endsWith("exists=NO size=0 loaded=0"));

        QVERIFY(exposer_.save());
        QCOMPARE(modeOf(storePath()), 0600);
        QCOMPARE(exposer_.storageStatus(), QString("path=%1\nexists=YES size=%2 loaded=0")
                                               .arg(storePath())
                                               .arg(QFile(storePath()).size()));

        // A folder where the file belongs cannot be replaced, and the caller hears of it.
        QVERIFY(QFile::remove(storePath()) && QDir().mkpath(storePath()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot save "));
        QVERIFY(!exposer_.save());
    }

    // Each change is saved at once: the last index, then names and passwords a line each. A
    // line break would shift every later name and password by one line.
    void savedBytesAreCompressedLinesOfText() {
        QSignalSpy changes(&exposer_, &UserDataExposer::passwordsChanged);
        QVERIFY(!exposer_.addPassword("two\nlines", "p"));
        QVERIFY(!exposer_.addPassword("name", "p\r"));
        QVERIFY(!QFile::exists(storePath()));
        QCOMPARE(changes.count(), 0);

        QVERIFY(exposer_.addPassword(QString::fromUtf8("näme"), QString::fromUtf8("pässwörd")));
        QVERIFY(exposer_.addPassword("no password", ""));
        QVERIFY(exposer_.addPassword("R", "r"));
        exposer_.setLastIndex(-3);
        QCOMPARE(storedText(),
                 QByteArray("-3\nn\xc3\xa4me\np\xc3\xa4ssw\xc3\xb6rd\nno password\n\nR\nr\n"));

        QFile::remove(storePath());
        exposer_.removePassword(7); // saves all the same
        QVERIFY(QFile::exists(storePath()));
        exposer_.removePassword(1);
        QCOMPARE(storedText(), QByteArray("-3\nn\xc3\xa4me\np\xc3\xa4ssw\xc3\xb6rd\nR\nr\n"));
        QCOMPARE(changes.count(), 5);
    }

    void loadReadsLinesAndKeepsTheUnreadableAside() {
        // The index is read up to its first other character, a value up to a zero byte.
        QVERIFY(
            testing::writeFile(storePath(), qCompress(QByteArray("7x\nA\0junk\np\nQ\nq\n", 16))));
        QSignalSpy counts(exposer_.passwordModel(), &PasswordModel::countChanged);
        exposer_.load();

        QCOMPARE(exposer_.lastIndex(), 7);
        QCOMPARE(entries(exposer_.passwordModel()), QString("Ap Qq"));
        QCOMPARE(counts.count(), 1);

        // A file that cannot be read is kept aside, once, before the first save replaces it.
        const QByteArray truncated = qCompress(QByteArray(5000, 'x')).left(20);
        QVERIFY(testing::writeFile(storePath(), truncated));
        QVERIFY(::chmod(QFile::encodeName(storePath()).constData(), 0644) == 0);

        exposer_.load();
        QCOMPARE(exposer_.passwordModel()->count(), 0);
        QCOMPARE(testing::readFile(storePath()), truncated);

        // Loading again changes nothing; the first save moves the old bytes aside.
        exposer_.load();
        QVERIFY(!QFile::exists(storePath() + ".bad"));
        QVERIFY(exposer_.addPassword("P", "p"));
        QCOMPARE(testing::readFile(storePath() + ".bad"), truncated);
        QCOMPARE(modeOf(storePath() + ".bad"), 0600);
        QCOMPARE(storedText(), QByteArray("7\nP\np\n"));

        // Later saves leave the kept copy alone.
        QVERIFY(exposer_.addPassword("Q", "q"));
        QCOMPARE(testing::readFile(storePath() + ".bad"), truncated);
        QCOMPARE(storedText(), QByteArray("7\nP\np\nQ\nq\n"));
    }

    void movePasswordKeepsViewAndStoreInStep_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::newRow("first down") << 0 << 1 << "Qq Pp Rr";
        QTest::newRow("last up") << 2 << 1 << "Pp Rr Qq";
        QTest::newRow("past the end") << 0 << 5 << "Pp Qq Rr";
    }

    void movePasswordKeepsViewAndStoreInStep() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        for (const char* name : {"P", "Q", "R"})
            QVERIFY(exposer_.addPassword(name, QString(name).toLower()));
        // Checks every move notification against the rows the model really holds.
        QAbstractItemModelTester tester(exposer_.passwordModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changes(&exposer_, &UserDataExposer::passwordsChanged);
        QSignalSpy moves(exposer_.passwordModel(), &QAbstractItemModel::rowsMoved);
        QFile::remove(storePath());

        exposer_.movePassword(from, to);
        QCOMPARE(entries(exposer_.passwordModel()), order);
        // Every exposer presents the store's one list.
        QCOMPARE(entries(UserDataExposer().passwordModel()), order);
        QCOMPARE(moves.count(), order == "Pp Qq Rr" ? 0 : 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(exposer_.passwordModel()->data(exposer_.passwordModel()->index(1),
                                                PasswordModel::IndexRole),
                 QVariant(1));

        // As after a restart: a fresh exposer reads the file.
        UserDataExposer restarted;
        restarted.load();
        QCOMPARE(entries(restarted.passwordModel()), order);
    }
};

QTEST_MAIN(TestSecrets)
#include "tst_secrets.moc"
