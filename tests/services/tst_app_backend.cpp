// AppBackend: password strength and the several-folders chooser.
#include "test_support.h"

#include "services/app_backend.h"
#include "services/directories_dialog.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>
#include <QtTest>

#include <memory>

class AppBackendTest : public QObject {
    Q_OBJECT

private slots:
    void judgesPasswordStrength_data();
    void judgesPasswordStrength();
    void buildsAChooserForSeveralFolders();
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

QTEST_MAIN(AppBackendTest)
#include "tst_app_backend.moc"
