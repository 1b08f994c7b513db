// The desktop services without a network: password strength, the folder chooser, opening and
// receiving files, the pack list over real files and the Thunar action file.
#include "test_support.h"

#include "services/app_backend.h"
#include "services/directories_dialog.h"
#include "services/file_model.h"
#include "services/file_opener.h"
#include "services/file_picker.h"
#include "services/shell_integration.h"

#include <QFileDialog>
#include <QListView>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

QVariant roleOf(const FileModel& model, int row, const QByteArray& name) {
    return model.data(model.index(row), model.roleNames().key(name));
}

const QString appWithAmpersand = "/opt/Coffret & Co/bin/coffret";

QString actionFile() {
    return QDir::homePath() + "/.config/Thunar/uca.xml";
}

QByteArray freshFile(const QString& escapedAppPath = "/opt/Coffret &amp; Co/bin/coffret") {
    QByteArray text = testing::readFile(COFFRET_SOURCE_DIR "/tests/services/data/uca-fresh.xml");
    return text.replace("/opt/Coffret &amp; Co/bin/coffret", escapedAppPath.toUtf8());
}

} // namespace

class DesktopServicesTest : public QObject {
    Q_OBJECT

    testing::TemporaryHome home; // where the action file goes

private slots:
    void judgesPasswordStrength_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("strong");
        QTest::newRow("seven, four classes") << "aB3$efg" << false;
        QTest::newRow("lower, digit, punctuation") << "abcdef1!" << true;
        QTest::newRow("accented capital is upper") << QString::fromUtf8("abcdefgÉ") << false;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("abcdefg٣A") << true;
        QTest::newRow("surrogate halves are other") << QString::fromUtf8("abcdef1😀") << true;
    }

    void judgesPasswordStrength() {
        QFETCH(QString, password);
        QFETCH(bool, strong);
        QCOMPARE(AppBackend().isStrongPassword(password), strong);
    }

    void buildsAChooserForSeveralFolders() {
        QWidget parent;
        std::unique_ptr<QFileDialog> dialog(createDirectoriesDialog(&parent, "Pick"));
        // Qt's own dialog: the desktop's would let the user pick one folder only.
        auto* list = dialog->findChild<QListView*>("listView");
        auto* tree = dialog->findChild<QTreeView*>();
        QVERIFY(list && tree);
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(tree->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void reportsWhatNothingOpens() {
        // No handler registered, and no desktop behind the offscreen platform to open anything.
        FileOpener opener;
        QSignalSpy failed(&opener, &FileOpener::failed);
        opener.openExternally("/nowhere/file.txt");
        opener.shareFile("/nowhere/file.txt"); // names the folder
        QCOMPARE(failed.count(), 2);
        QCOMPARE(failed.at(0).first().toString(), QString("Could not open /nowhere/file.txt"));
        QCOMPARE(failed.at(1).first().toString(), QString("Could not open /nowhere"));
    }

    void keepsTheLastHandedOverFile() {
        FilePicker picker;
        QSignalSpy received(&picker, &FilePicker::fileReceived);
        picker.receiveFile("/tmp/first.cfr");
        picker.receiveFile("/tmp/second.cfr");
        QCOMPARE(received.count(), 2);
        QCOMPARE(received.at(1).first().toString(), QString("/tmp/second.cfr"));
        QCOMPARE(picker.takePendingFile(), QString("/tmp/second.cfr"));
        QCOMPARE(picker.takePendingFile(), QString());
    }

    void fileListAddsAndRemovesRows() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("photos/2024")));
        FileModel model;
        QSignalSpy counted(&model, &FileModel::countChanged);
        model.addFile(dir.filePath("missing.txt"));
        model.addDirectory("/"); // strips to nothing
        QCOMPARE(counted.count(), 0);
        model.addDirectory(dir.filePath("photos/2024") + "//\\/");
        QCOMPARE(roleOf(model, 0, "fileName").toString(), QString("2024"));
        QCOMPARE(roleOf(model, 0, "filePath").toString(), dir.filePath("photos"));
        QCOMPARE(roleOf(model, 0, "isDirectory").toBool(), true);

        for (const QString name : {"a", "b", "c", "d"}) {
            QVERIFY(testing::writeFile(dir.filePath(name), "a"));
            model.addFile(dir.filePath(name));
        }
        QCOMPARE(model.count(), 5);
        QSignalSpy removed(&model, &FileModel::rowsRemoved);
        counted.clear();
        model.removeRows({0, 2, 1});
        QCOMPARE(model.count(), 2);
        QCOMPARE(roleOf(model, 0, "fileName").toString(), QString("c"));
        QCOMPARE(roleOf(model, 0, "fileSize").toString(), QString("1 B"));
        QCOMPARE(roleOf(model, 0, "fileKind").toString(), QString("File")); // no suffix to show
        QCOMPARE(model.getAllFileInfos().at(0).fileName(), QString("c"));
        QCOMPARE(removed.count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(removed.at(i).at(1).toInt(), 2 - i);
        QCOMPARE(counted.count(), 3);
    }

    void writesTheActionFile_data() {
        QTest::addColumn<QByteArray>("before"); // empty: no file yet
        QTest::addColumn<QByteArray>("expected");

        // Two actions of other programs around one of ours from an earlier installation.
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n"
                                "<action><name>Open Terminal Here</name><unique-id>1428-1"
                                "</unique-id><command>exo-open %f</command></action>";
        const QByteArray ours =
            "\n<action>\n\t<name>old</name>\n\t<unique-id>coffret-0</unique-id>\n"
            "\t<command>\"/usr/bin/coffret\" -p %d %F</command>\n"
            "\t<description>Coffret</description>\n</action>";
        const QByteArray tail = "\n<action><name>Search &amp; replace</name><unique-id>1428-2"
                                "</unique-id><description>Search &lt;here&gt;, not Coffret"
                                "</description></action>";
        const QByteArray fresh = freshFile();
        const int first = fresh.indexOf("<action>");
        const QByteArray ourActions = fresh.mid(first, fresh.lastIndexOf("</actions>") - first);

        QTest::newRow("no file yet") << QByteArray() << fresh;
        QTest::newRow("other programs' actions")
            << head + ours + tail + "\n</actions>\n"
            << head + tail + "\n" + ourActions + "</actions>\n";
        QByteArray earlier = freshFile("/usr/bin/coffret");
        earlier.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                        "<?xml encoding=\"UTF-8\" version=\"1.0\"?>");
        QTest::newRow("our earlier ill-formed declaration") << earlier << fresh;
    }

    void writesTheActionFile() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, expected);
        QDir(QFileInfo(actionFile()).path()).removeRecursively();
        if (!before.isEmpty())
            QVERIFY(testing::writeFile(actionFile(), before));

        QVERIFY(installThunarActions(appWithAmpersand));
        QCOMPARE(testing::readFile(actionFile()), expected);
        const testing::ToolRun lint = testing::runTool("xmllint", {"--noout", actionFile()});
        QVERIFY2(lint.exitCode == 0, lint.out.constData());

        // A second installation finds its own actions and replaces them in place.
        QVERIFY(installThunarActions(appWithAmpersand));
        QCOMPARE(testing::readFile(actionFile()), expected);
    }
};

QTEST_MAIN(DesktopServicesTest)
#include "tst_desktop_services.moc"
