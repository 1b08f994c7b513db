// AppBackend: passwords, the several-folders chooser and settings.
#include "test_support.h"

#include "services/app_backend.h"
#include "services/directories_dialog.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

const QString alphabet = "23456789abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ~!@#$%^&*_+=<>?";

} // namespace

class AppBackendTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void drawsPasswordsFromTheWholeAlphabet();
    void judgesPasswordStrength_data();
    void judgesPasswordStrength();
    void buildsAChooserForSeveralFolders();
    void keepsSettings();

private:
    // Settings paths are fixed at the first use of the store, so one home serves the run.
    std::unique_ptr<testing::TemporaryHome> home;
};

void AppBackendTest::initTestCase() {
    home = std::make_unique<testing::TemporaryHome>();
    QVERIFY(home->isValid());
}

void AppBackendTest::drawsPasswordsFromTheWholeAlphabet() {
    AppBackend backend;
    QSet<QChar> seen;
    for (int i = 0; i < 2000; ++i) {
        const QString password = backend.generateRandomPassword();
        QCOMPARE(password.size(), 16);
        for (QChar c : password) {
            QVERIFY2(alphabet.contains(c), qPrintable(password));
            seen.insert(c);
        }
    }
    // 32000 draws over 71 characters: every one of them turns up.
    QCOMPARE(seen.size(), alphabet.size());
}

void AppBackendTest::judgesPasswordStrength_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("strong");
    QTest::newRow("eight lower case") << "abcdefgh" << false;
    QTest::newRow("seven, four classes") << "aB3$efg" << false;
    QTest::newRow("lower, digit, punctuation") << "abcdef1!" << true;
    QTest::newRow("space counts as other") << "abcdEFG " << true;
    QTest::newRow("accented capital is upper") << QString::fromUtf8("abcdefgÉ") << false;
    QTest::newRow("title case letter is other") << QString::fromUtf8("abcdefǅ1") << true;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("abcdefg٣A") << true;
    QTest::newRow("surrogate halves are other") << QString::fromUtf8("abcdef1😀") << true;
}

void AppBackendTest::judgesPasswordStrength() {
    QFETCH(QString, password);
    QFETCH(bool, strong);
    QCOMPARE(AppBackend().isStrongPassword(password), strong);
}

void AppBackendTest::buildsAChooserForSeveralFolders() {
    QWidget parent;
    std::unique_ptr<QFileDialog> dialog(createDirectoriesDialog(&parent, "Pick"));
    QCOMPARE(dialog->windowTitle(), QString("Pick"));
    QCOMPARE(dialog->parentWidget(), &parent);
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    auto* list = dialog->findChild<QListView*>("listView");
    auto* tree = dialog->findChild<QTreeView*>();
    QVERIFY(list && tree);
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(tree->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void AppBackendTest::keepsSettings() {
    AppBackend backend;
    QCOMPARE(backend.getSetting("i18n/langPref"), QString());
    QCOMPARE(backend.getSetting("i18n/langPref", "zh"), QString("zh"));
    backend.setSetting("i18n/langPref", "en");
    QCOMPARE(AppBackend().getSetting("i18n/langPref", "zh"), QString("en"));
    // Written to the user's configuration folder, where the next run finds it.
    const QByteArray stored = testing::readFile(home->path() + "/.config/Mervale/Coffret.conf");
    QVERIFY2(stored.contains("langPref=en"), stored.constData());
}

QTEST_MAIN(AppBackendTest)
#include "tst_app_backend.moc"
