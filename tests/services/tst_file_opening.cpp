// FileOpener and FilePicker: what reaches the desktop, the choosers' answers, and the file the
// system hands over.
#include "desktop_recorder.h"
#include "modal_driver.h"
#include "test_support.h"

#include "services/file_opener.h"
#include "services/file_picker.h"

#include <QFileDialog>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

class FileOpeningTest : public QObject {
    Q_OBJECT

private slots:
    void opensTheFile();
    void reportsWhatNothingOpens_data();
    void reportsWhatNothingOpens();

    void keepsTheLastHandedOverFile();
    void answersAChosenArchive();
};

void FileOpeningTest::opensTheFile() {
    DesktopRecorder desktop;
    FileOpener opener;
    QSignalSpy failed(&opener, &FileOpener::failed);
    opener.openExternally("/data/Coffret/Extractions/report #1.pdf");
    // Sharing shows the file's folder.
    opener.shareFile("/data/Coffret/photos.cfr");
    QCOMPARE(desktop.opened,
             QList<QUrl>({QUrl::fromLocalFile("/data/Coffret/Extractions/report #1.pdf"),
                          QUrl::fromLocalFile("/data/Coffret")}));
    QCOMPARE(failed.count(), 0);
}

void FileOpeningTest::reportsWhatNothingOpens_data() {
    QTest::addColumn<bool>("share");
    QTest::addColumn<QString>("message");
    QTest::newRow("open") << false << "Could not open /nowhere/file.txt";
    QTest::newRow("share names the folder") << true << "Could not open /nowhere";
}

void FileOpeningTest::reportsWhatNothingOpens() {
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

void FileOpeningTest::keepsTheLastHandedOverFile() {
    FilePicker picker;
    QSignalSpy received(&picker, &FilePicker::fileReceived);
    picker.receiveFile("/tmp/first.cfr");
    picker.receiveFile("/tmp/second.cfr");
    QCOMPARE(received.count(), 2);
    QCOMPARE(received.at(1).first().toString(), QString("/tmp/second.cfr"));
    QCOMPARE(picker.takePendingFile(), QString("/tmp/second.cfr"));
    QCOMPARE(picker.takePendingFile(), QString());
}

void FileOpeningTest::answersAChosenArchive() {
    QTemporaryDir dir;
    const QString archive = dir.filePath("vault.cfr");
    QVERIFY(testing::writeFile(archive, "package"));
    FilePicker picker;
    QSignalSpy picked(&picker, &FilePicker::picked);
    QSignalSpy cancelled(&picker, &FilePicker::cancelled);
    QStringList filters;
    whenModalShows<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        // Choose only once the dialog shows the folder, as a user would.
        auto* view = dialog->findChild<QTreeView*>();
        if (dialog->directory().absolutePath() != dir.path()) {
            dialog->setDirectory(dir.path());
            return false;
        }
        if (view->model()->rowCount(view->rootIndex()) < 1)
            return false;
        const QModelIndex only = view->model()->index(0, 0, view->rootIndex());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(only).center());
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        return true;
    });
    picker.pickArchive();
    QCOMPARE(filters, QStringList{"Coffret / Zip (*.cfr *.zip)"});
    QCOMPARE(cancelled.count(), 0);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first().first().toStringList(), QStringList{archive});
}

QTEST_MAIN(FileOpeningTest)
#include "tst_file_opening.moc"
