// AppBackend's password strength and folder chooser; FileOpener's failures; FilePicker.
#include "services/app_backend.h"
#include "services/directories_dialog.h"
#include "services/file_opener.h"
#include "services/file_picker.h"

#include <QFileDialog>
#include <QListView>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include <memory>

class AppBackendTest : public QObject {
    Q_OBJECT

private slots:
    void judgesPasswordStrength_data();
    void judgesPasswordStrength();
    void buildsAChooserForSeveralFolders();
    void reportsWhatNothingOpens_data();
    void reportsWhatNothingOpens();
    void keepsTheLastHandedOverFile();
};

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

void AppBackendTest::reportsWhatNothingOpens_data() {
    QTest::addColumn<bool>("share");
    QTest::addColumn<QString>("message");
    QTest::newRow("open") << false << "Could not open /nowhere/file.txt";
    QTest::newRow("share names the folder") << true << "Could not open /nowhere";
}

void AppBackendTest::reportsWhatNothingOpens() {
    QFETCH(bool, share);
    QFETCH(QString, message);
    // No handler registered, and no desktop behind the offscreen platform to open anything.
    FileOpener opener;
    QSignalSpy failed(&opener, &FileOpener::failed);
    if (share)
        opener.shareFile("/nowhere/file.txt");
    else
        opener.openExternally("/nowhere/file.txt");
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(), message);
}

void AppBackendTest::keepsTheLastHandedOverFile() {
    FilePicker picker;
    QSignalSpy received(&picker, &FilePicker::fileReceived);
    picker.receiveFile("/tmp/first.cfr");
    picker.receiveFile("/tmp/second.cfr");
    QCOMPARE(received.count(), 2);
    QCOMPARE(received.at(1).first().toString(), QString("/tmp/second.cfr"));
    QCOMPARE(picker.takePendingFile(), QString("/tmp/second.cfr"));
    QCOMPARE(picker.takePendingFile(), QString());
}

QTEST_MAIN(AppBackendTest)
#include "tst_app_backend.moc"
