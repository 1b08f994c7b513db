// AppBackend: passwords, message boxes, the folder chooser and settings.
#include "modal_driver.h"
#include "test_support.h"

#include "services/app_backend.h"
#include "services/directories_dialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
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
    void showsTheBoxOfTheType_data();
    void showsTheBoxOfTheType();
    void confirmsOnlyOnYes_data();
    void confirmsOnlyOnYes();
    void buildsAChooserForSeveralFolders();
    void returnsTheChosenFolders();
    void returnsNoFoldersWhenCancelled();
    void keepsSettings();
    void announcesANewMainWindowOnly();

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
    QTest::newRow("lower, upper, digit") << "abcdeF12" << true;
    QTest::newRow("eight spaces") << "        " << false;
    QTest::newRow("space counts as other") << "abcdEFG " << true;
    QTest::newRow("accented capital is upper") << QString::fromUtf8("abcdefgÉ") << false;
    QTest::newRow("accented capital and a digit") << QString::fromUtf8("abcdefÉ1") << true;
    QTest::newRow("title case letter is other") << QString::fromUtf8("abcdefǅ1") << true;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("abcdefg٣A") << true;
    QTest::newRow("surrogate halves are other") << QString::fromUtf8("abcdef1😀") << true;
    QTest::newRow("surrogate halves are not letters") << QString::fromUtf8("abcdefg😀") << false;
    QTest::newRow("empty") << "" << false;
}

void AppBackendTest::judgesPasswordStrength() {
    QFETCH(QString, password);
    QFETCH(bool, strong);
    QCOMPARE(AppBackend().isStrongPassword(password), strong);
}

void AppBackendTest::showsTheBoxOfTheType_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("icon");
    QTest::newRow("warning") << "warning" << int(QMessageBox::Warning);
    QTest::newRow("critical") << "critical" << int(QMessageBox::Critical);
    QTest::newRow("info") << "info" << int(QMessageBox::Information);
    QTest::newRow("capitalised is not a warning") << "Warning" << int(QMessageBox::Information);
    QTest::newRow("unknown") << "error" << int(QMessageBox::Information);
}

void AppBackendTest::showsTheBoxOfTheType() {
    QFETCH(QString, type);
    QFETCH(int, icon);
    AppBackend backend;
    QMessageBox* seen = nullptr;
    int shownIcon = -1;
    QString shownText;
    int buttons = 0;
    QWidget* parent = nullptr;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
        seen = box;
        shownIcon = box->icon();
        shownText = box->windowTitle() + '|' + box->text();
        buttons = box->buttons().size();
        parent = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    backend.showMessageBox("Title", "Message", type);
    QVERIFY(seen);
    QCOMPARE(shownIcon, icon);
    QCOMPARE(shownText, QString("Title|Message"));
    QCOMPARE(buttons, 1);
    QCOMPARE(parent, backend.dialogParent());
    QVERIFY(backend.dialogParent()->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!backend.dialogParent()->isVisible());
}

void AppBackendTest::confirmsOnlyOnYes_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("no") << "no" << false;
    QTest::newRow("window closed") << "close" << false;
}

void AppBackendTest::confirmsOnlyOnYes() {
    QFETCH(QString, answer);
    QFETCH(bool, expected);
    AppBackend backend;
    int icon = -1;
    whenModalShows<QMessageBox>([&](QMessageBox* box) {
        icon = box->icon();
        if (answer == "yes")
            box->button(QMessageBox::Yes)->click();
        else if (answer == "no")
            box->button(QMessageBox::No)->click();
        else
            box->close();
        return true;
    });
    QCOMPARE(backend.confirm("Delete", "Really?"), expected);
    QCOMPARE(icon, int(QMessageBox::Question));
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

void AppBackendTest::returnsTheChosenFolders() {
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("alpha") && QDir(root.path()).mkpath("beta"));
    AppBackend backend;
    QString caption;
    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        caption = dialog->windowTitle();
        auto* view = dialog->findChild<QTreeView*>();
        if (dialog->directory().absolutePath() != root.path()) {
            dialog->setDirectory(root.path());
            return false;
        }
        const QModelIndex folder = view->rootIndex();
        if (!view->isVisible() || view->model()->rowCount(folder) < 2)
            return false; // the folder is still being read
        // As a user would: click one, then control-click the other.
        const QRect first = view->visualRect(view->model()->index(0, 0, folder));
        const QRect second = view->visualRect(view->model()->index(1, 0, folder));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        return true;
    });
    QStringList chosen = backend.getExistingDirectories();
    chosen.sort();
    QCOMPARE(caption, QString("Select directories to pack"));
    QCOMPARE(chosen, (QStringList{root.path() + "/alpha", root.path() + "/beta"}));
}

void AppBackendTest::returnsNoFoldersWhenCancelled() {
    AppBackend backend;
    QString caption;
    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        caption = dialog->windowTitle();
        dialog->reject();
        return true;
    });
    QVERIFY(backend.getExistingDirectories("Folders for the package").isEmpty());
    QCOMPARE(caption, QString("Folders for the package"));
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

void AppBackendTest::announcesANewMainWindowOnly() {
    AppBackend backend;
    QQuickWindow window;
    QSignalSpy changed(&backend, &AppBackend::mainWindowChanged);
    backend.setMainWindow(&window);
    backend.setMainWindow(&window);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(backend.property("mainWindow").value<QQuickWindow*>(), &window);
}

QTEST_MAIN(AppBackendTest)
#include "tst_app_backend.moc"
