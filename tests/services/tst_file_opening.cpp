// FileOpener and FilePicker: what reaches the desktop and the file the system hands over.
#include "services/file_opener.h"
#include "services/file_picker.h"

#include <QSignalSpy>
#include <QtTest>

class FileOpeningTest : public QObject {
    Q_OBJECT

private slots:
    void reportsWhatNothingOpens_data();
    void reportsWhatNothingOpens();

    void keepsTheLastHandedOverFile();
};

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

QTEST_MAIN(FileOpeningTest)
#include "tst_file_opening.moc"
