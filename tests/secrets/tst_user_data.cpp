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

using Pairs = QList<QStringList>; // each {name, password}

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

Pairs viewPairs(const PasswordModel* model) {
    Pairs pairs;
    for (int row = 0; row < model->count(); ++row)
        pairs << QStringList{model->nameAt(row), model->passwordAt(row)};
    return pairs;
}

QString names(const Pairs& pairs) {
    QString text;
    for (const QStringList& pair : pairs)
        text += pair.first();
    return text;
}

} // namespace

class TestUserData : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingFileLoadsEmptyAndSaveCreatesPrivateFile();
    void savedBytesAreCompressedLinesOfText();
    void loadReadsLines_data();
    void loadReadsLines();
    void unreadableFileIsKeptAsideBeforeReplacement_data();
    void unreadableFileIsKeptAsideBeforeReplacement();
    void entryWithLineBreakIsRefused_data();
    void entryWithLineBreakIsRefused();
    void movePasswordKeepsViewAndStoreInStep_data();
    void movePasswordKeepsViewAndStoreInStep();
    void removePasswordSavesEvenWhenOutOfRange();

private:
    std::unique_ptr<testing::TemporaryHome> home_;
    std::unique_ptr<UserDataExposer> exposer_;
};

void TestUserData::init() {
    home_ = std::make_unique<testing::TemporaryHome>();
    QVERIFY(home_->isValid());
    // The store lives for the whole process: start every case from a clean one.
    UserData::instance()->setLastIndex(0);
    QFile::remove(storePath());
    exposer_ = std::make_unique<UserDataExposer>();
    exposer_->load();
}

void TestUserData::cleanup() {
    exposer_.reset();
    home_.reset();
}

void TestUserData::missingFileLoadsEmptyAndSaveCreatesPrivateFile() {
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

void TestUserData::savedBytesAreCompressedLinesOfText() {
    QVERIFY(exposer_->addPassword("name 1", "password 1"));
    QVERIFY(exposer_->addPassword(QString::fromUtf8("näme 2"), QString::fromUtf8("pässwörd 2")));
    QVERIFY(exposer_->addPassword("no password", ""));
    exposer_->setLastIndex(-3);

    const QByteArray expected = QByteArray("-3\nname 1\npassword 1\n") +
                                "n\xc3\xa4me 2\np\xc3\xa4ssw\xc3\xb6rd 2\nno password\n\n";
    QCOMPARE(storedText(), expected);
}

void TestUserData::loadReadsLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("lastIndex"); // before the load it is 9
    QTest::addColumn<Pairs>("pairs");

    QTest::newRow("index and two pairs")
        << QByteArray("3\nP\np\nQ\nq\n") << 3 << Pairs{{"P", "p"}, {"Q", "q"}};
    QTest::newRow("index not a number") << QByteArray("abc\nP\np\n") << 0 << Pairs{{"P", "p"}};
    QTest::newRow("zero byte ends a value")
        << QByteArray("1\nA\0junk\np\n", 11) << 1 << Pairs{{"A", "p"}};
}

void TestUserData::loadReadsLines() {
    QFETCH(QByteArray, text);
    QFETCH(int, lastIndex);
    QFETCH(Pairs, pairs);

    UserData::instance()->setLastIndex(9);
    QVERIFY(testing::writeFile(storePath(), qCompress(text)));
    QSignalSpy counts(exposer_->passwordModel(), &PasswordModel::countChanged);
    exposer_->load();

    QCOMPARE(exposer_->lastIndex(), lastIndex);
    QCOMPARE(viewPairs(exposer_->passwordModel()), pairs);
    QCOMPARE(counts.count(), 1);
    QVERIFY(!QFile::exists(storePath() + ".bad"));
}

void TestUserData::unreadableFileIsKeptAsideBeforeReplacement_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("truncated stream") << qCompress(QByteArray(5000, 'x')).left(20);
}

void TestUserData::unreadableFileIsKeptAsideBeforeReplacement() {
    QFETCH(QByteArray, bytes);
    QVERIFY(testing::writeFile(storePath(), bytes));
    QVERIFY(::chmod(QFile::encodeName(storePath()).constData(), 0644) == 0);

    exposer_->load();
    QCOMPARE(exposer_->passwordModel()->count(), 0);
    QCOMPARE(testing::readFile(storePath()), bytes);

    // Loading again changes nothing; the first save moves the old bytes aside.
    exposer_->load();
    QVERIFY(!QFile::exists(storePath() + ".bad"));
    QVERIFY(exposer_->addPassword("P", "p"));
    QCOMPARE(testing::readFile(storePath() + ".bad"), bytes);
    QCOMPARE(modeOf(storePath() + ".bad"), 0600);
    QCOMPARE(storedText(), QByteArray("0\nP\np\n"));

    // Later saves leave the kept copy alone.
    QVERIFY(exposer_->addPassword("Q", "q"));
    QCOMPARE(testing::readFile(storePath() + ".bad"), bytes);
    QCOMPARE(storedText(), QByteArray("0\nP\np\nQ\nq\n"));
}

void TestUserData::entryWithLineBreakIsRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::newRow("line feed in name") << "two\nlines"
                                       << "p";
    QTest::newRow("carriage return") << "name\r"
                                     << "p";
}

void TestUserData::entryWithLineBreakIsRefused() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QSignalSpy changes(exposer_.get(), &UserDataExposer::passwordsChanged);
    QSignalSpy counts(exposer_->passwordModel(), &PasswordModel::countChanged);

    QVERIFY(!exposer_->addPassword(name, password));
    QCOMPARE(exposer_->passwordModel()->count(), 0);
    QCOMPARE(UserData::instance()->model()->rowCount(), 0);
    QVERIFY(!QFile::exists(storePath()));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(counts.count(), 0);
}

void TestUserData::movePasswordKeepsViewAndStoreInStep_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::newRow("first down") << 0 << 1 << "QPR";
    QTest::newRow("last up") << 2 << 1 << "PRQ";
    QTest::newRow("past the end") << 0 << 5 << "PQR";
}

void TestUserData::movePasswordKeepsViewAndStoreInStep() {
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
    QCOMPARE(names(viewPairs(exposer_->passwordModel())), order);
    // Every exposer presents the store's one list.
    QCOMPARE(names(viewPairs(UserDataExposer().passwordModel())), order);
    QCOMPARE(moves.count(), order == "PQR" ? 0 : 1);
    QCOMPARE(changes.count(), 1);
    QVERIFY(QFile::exists(storePath()));
    QCOMPARE(exposer_->passwordModel()->data(exposer_->passwordModel()->index(1),
                                             PasswordModel::IndexRole),
             QVariant(1));

    // As after a restart: a fresh exposer reads the file.
    UserDataExposer restarted;
    restarted.load();
    const Pairs pairs = viewPairs(restarted.passwordModel());
    QCOMPARE(names(pairs), order);
    for (const QStringList& pair : pairs)
        QCOMPARE(pair.at(1), pair.at(0).toLower());
}

void TestUserData::removePasswordSavesEvenWhenOutOfRange() {
    for (const char* name : {"P", "Q", "R"})
        QVERIFY(exposer_->addPassword(name, "x"));
    QSignalSpy changes(exposer_.get(), &UserDataExposer::passwordsChanged);

    QFile::remove(storePath());
    exposer_->removePassword(7);
    QVERIFY(QFile::exists(storePath()));
    exposer_->removePassword(1);
    QCOMPARE(names(viewPairs(exposer_->passwordModel())), QString("PR"));
    QCOMPARE(storedText(), QByteArray("0\nP\nx\nR\nx\n"));
    QCOMPARE(changes.count(), 2);
}

QTEST_MAIN(TestUserData)
#include "tst_user_data.moc"
