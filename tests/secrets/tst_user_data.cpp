// The saved-password store, its list model and the exposer, on real files in a private HOME.
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

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

class TestUserData : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::TemporaryHome> home_;
    std::unique_ptr<UserDataExposer> exposer_;

private slots:
    void init() {
        home_ = std::make_unique<testing::TemporaryHome>();
        QVERIFY(home_->isValid());
        // The store lives for the whole process: start every case from a clean one.
        UserData::instance()->setLastIndex(0);
        QFile::remove(storePath());
        exposer_ = std::make_unique<UserDataExposer>();
        exposer_->load();
    }

    void cleanup() {
        exposer_.reset();
        home_.reset();
    }

    void missingFileLoadsEmptyAndSaveCreatesPrivateFile() {
        QDir(QDir::homePath()).removeRecursively();
        QDir().mkpath(QDir::homePath());
        exposer_->load();
        QCOMPARE(exposer_->passwordModel()->count(), 0);
        QCOMPARE(exposer_->lastIndex(), 0);
        QCOMPARE(modeOf(QDir::homePath() + "/.cfr"), 0700);
        QCOMPARE(exposer_->storageStatus(),
                 QString("path=%1\nexists=NO size=0 loaded=0").arg(storePath()));

        exposer_->save();
        QCOMPARE(modeOf(storePath()), 0600);
        QVERIFY(exposer_->storageStatus().endsWith(
            QString("exists=YES size=%1 loaded=0").arg(QFile(storePath()).size())));

        // A file left readable by others is made private by the next save.
        QVERIFY(::chmod(QFile::encodeName(storePath()).constData(), 0644) == 0);
        QVERIFY(exposer_->save());
        QCOMPARE(modeOf(storePath()), 0600);

        // A folder where the file belongs cannot be replaced, and the caller hears of it.
        QVERIFY(QFile::remove(storePath()) && QDir().mkpath(storePath()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot save "));
        QVERIFY(!exposer_->save());
    }

    void savedBytesAreCompressedLinesOfText() {
        QVERIFY(exposer_->addPassword("name 1", "password 1"));
        QVERIFY(
            exposer_->addPassword(QString::fromUtf8("näme 2"), QString::fromUtf8("pässwörd 2")));
        QVERIFY(exposer_->addPassword("no password", ""));
        exposer_->setLastIndex(-3);

        const QByteArray expected = QByteArray("-3\nname 1\npassword 1\n") +
                                    "n\xc3\xa4me 2\np\xc3\xa4ssw\xc3\xb6rd 2\nno password\n\n";
        QCOMPARE(storedText(), expected);
    }

    void loadReadsLines() {
        UserData::instance()->setLastIndex(9);
        // The index is read up to its first other character, a value up to a zero byte.
        QVERIFY(
            testing::writeFile(storePath(), qCompress(QByteArray("7x\nA\0junk\np\nQ\nq\n", 16))));
        QSignalSpy counts(exposer_->passwordModel(), &PasswordModel::countChanged);
        exposer_->load();

        QCOMPARE(exposer_->lastIndex(), 7);
        QCOMPARE(entries(exposer_->passwordModel()), QString("Ap Qq"));
        QCOMPARE(counts.count(), 1);
        QVERIFY(!QFile::exists(storePath() + ".bad"));
    }

    void unreadableFileIsKeptAsideBeforeReplacement() {
        const QByteArray truncated = qCompress(QByteArray(5000, 'x')).left(20);
        QVERIFY(testing::writeFile(storePath(), truncated));
        QVERIFY(::chmod(QFile::encodeName(storePath()).constData(), 0644) == 0);

        exposer_->load();
        QCOMPARE(exposer_->passwordModel()->count(), 0);
        QCOMPARE(testing::readFile(storePath()), truncated);

        // Loading again changes nothing; the first save moves the old bytes aside.
        exposer_->load();
        QVERIFY(!QFile::exists(storePath() + ".bad"));
        QVERIFY(exposer_->addPassword("P", "p"));
        QCOMPARE(testing::readFile(storePath() + ".bad"), truncated);
        QCOMPARE(modeOf(storePath() + ".bad"), 0600);
        QCOMPARE(storedText(), QByteArray("0\nP\np\n"));

        // Later saves leave the kept copy alone.
        QVERIFY(exposer_->addPassword("Q", "q"));
        QCOMPARE(testing::readFile(storePath() + ".bad"), truncated);
        QCOMPARE(storedText(), QByteArray("0\nP\np\nQ\nq\n"));
    }

    // A line break would shift every later name and password by one line.
    void entryWithLineBreakIsRefused() {
        QSignalSpy changes(exposer_.get(), &UserDataExposer::passwordsChanged);
        QSignalSpy counts(exposer_->passwordModel(), &PasswordModel::countChanged);
        QVERIFY(!exposer_->addPassword("two\nlines", "p"));
        QVERIFY(!exposer_->addPassword("name", "p\r"));
        QCOMPARE(exposer_->passwordModel()->count(), 0);
        QVERIFY(!QFile::exists(storePath()));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(counts.count(), 0);
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
            QVERIFY(exposer_->addPassword(name, QString(name).toLower()));
        // Checks every move notification against the rows the model really holds.
        QAbstractItemModelTester tester(exposer_->passwordModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changes(exposer_.get(), &UserDataExposer::passwordsChanged);
        QSignalSpy moves(exposer_->passwordModel(), &QAbstractItemModel::rowsMoved);
        QFile::remove(storePath());

        exposer_->movePassword(from, to);
        QCOMPARE(entries(exposer_->passwordModel()), order);
        // Every exposer presents the store's one list.
        QCOMPARE(entries(UserDataExposer().passwordModel()), order);
        QCOMPARE(moves.count(), order == "Pp Qq Rr" ? 0 : 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(exposer_->passwordModel()->data(exposer_->passwordModel()->index(1),
                                                 PasswordModel::IndexRole),
                 QVariant(1));

        // As after a restart: a fresh exposer reads the file.
        UserDataExposer restarted;
        restarted.load();
        QCOMPARE(entries(restarted.passwordModel()), order);
    }

    void removePasswordSavesEvenWhenOutOfRange() {
        for (const char* name : {"P", "Q", "R"})
            QVERIFY(exposer_->addPassword(name, "x"));
        QSignalSpy changes(exposer_.get(), &UserDataExposer::passwordsChanged);

        QFile::remove(storePath());
        exposer_->removePassword(7);
        QVERIFY(QFile::exists(storePath()));
        exposer_->removePassword(1);
        QCOMPARE(entries(exposer_->passwordModel()), QString("Px Rx"));
        QCOMPARE(storedText(), QByteArray("0\nP\nx\nR\nx\n"));
        QCOMPARE(changes.count(), 2);
    }
};

QTEST_MAIN(TestUserData)
#include "tst_user_data.moc"
