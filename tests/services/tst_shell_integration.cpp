// The Thunar action file: what we write, what we keep of others', and when we write it.
#include "test_support.h"

#include "services/shell_integration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace {

const QString appWithAmpersand = "/opt/Coffret & Co/bin/coffret";
const QString escapedAppWithAmpersand = "/opt/Coffret &amp; Co/bin/coffret";

// Two actions of other programs around one of ours from an earlier installation.
const QByteArray foreignHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<actions>\n"
                               "<action>\n"
                               "\t<icon>utilities-terminal</icon>\n"
                               "\t<name>Open Terminal Here</name>\n"
                               "\t<unique-id>1428-1</unique-id>\n"
                               "\t<command>exo-open --working-directory %f</command>\n"
                               "\t<patterns>*</patterns>\n"
                               "\t<directories/>\n"
                               "</action>";
const QByteArray ourEarlierAction = "\n<action>\n"
                                    "\t<icon>org.xfce.thunar</icon>\n"
                                    "\t<name>old</name>\n"
                                    "\t<unique-id>coffret-0</unique-id>\n"
                                    "\t<command>\"/usr/bin/coffret\" -p %d %F</command>\n"
                                    "\t<description>Coffret</description>\n"
                                    "\t<patterns>*</patterns>\n"
                                    "</action>";
const QByteArray foreignTail = "\n<action>\n"
                               "\t<icon>edit-find</icon>\n"
                               "\t<name>Search &amp; replace</name>\n"
                               "\t<unique-id>1428-2</unique-id>\n"
                               "\t<command>catfish --path=%f</command>\n"
                               "\t<description>Search &lt;here&gt;, not Coffret</description>\n"
                               "\t<patterns>*</patterns>\n"
                               "\t<directories/>\n"
                               "</action>";

QString actionFile() {
    return QDir::homePath() + "/.config/Thunar/uca.xml";
}

QByteArray freshFile(const QString& escapedAppPath = escapedAppWithAmpersand) {
    QByteArray text = testing::readFile(COFFRET_SOURCE_DIR "/tests/services/data/uca-fresh.xml");
    return text.replace(escapedAppWithAmpersand.toUtf8(), escapedAppPath.toUtf8());
}

// Our ten actions alone, as they appear in a fresh file.
QByteArray ourActions() {
    const QByteArray fresh = freshFile();
    const int first = fresh.indexOf("<action>");
    return fresh.mid(first, fresh.lastIndexOf("</actions>") - first);
}

} // namespace

class ShellIntegrationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void writesTheActionFile_data();
    void writesTheActionFile();

private:
    // Settings paths are fixed at the first use of the store, so one home serves the run.
    std::unique_ptr<testing::TemporaryHome> home;
};

void ShellIntegrationTest::initTestCase() {
    home = std::make_unique<testing::TemporaryHome>();
    QVERIFY(home->isValid());
}

void ShellIntegrationTest::init() {
    QSettings("Mervale", "Coffret").clear();
    QDir(QDir::homePath() + "/.config/Thunar").removeRecursively();
    QVERIFY(!freshFile().isEmpty());
}

void ShellIntegrationTest::writesTheActionFile_data() {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no file yet") << false << QByteArray() << freshFile();
    QTest::newRow("our own file again") << true << freshFile() << freshFile();
    QTest::newRow("other programs' actions")
        << true << foreignHead + ourEarlierAction + foreignTail + "\n</actions>\n"
        << foreignHead + foreignTail + "\n" + ourActions() + "</actions>\n";
    QTest::newRow("no actions element")
        << true << QByteArray("<?xml version=\"1.0\"?>\n<menu><item/></menu>\n") << freshFile();
    QByteArray earlier = freshFile("/usr/bin/coffret");
    earlier.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                    "<?xml encoding=\"UTF-8\" version=\"1.0\"?>");
    QTest::newRow("our earlier ill-formed declaration") << true << earlier << freshFile();
}

void ShellIntegrationTest::writesTheActionFile() {
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, expected);
    if (exists)
        QVERIFY(testing::writeFile(actionFile(), before));

    QVERIFY(installThunarActions(appWithAmpersand));
    QCOMPARE(testing::readFile(actionFile()), expected);
    const testing::ToolRun lint = testing::runTool("xmllint", {"--noout", actionFile()});
    QVERIFY2(lint.exitCode == 0, lint.out.constData());

    // A second installation finds its own actions and replaces them in place.
    QVERIFY(installThunarActions(appWithAmpersand));
    QCOMPARE(testing::readFile(actionFile()), expected);
}

QTEST_GUILESS_MAIN(ShellIntegrationTest)
#include "tst_shell_integration.moc"
