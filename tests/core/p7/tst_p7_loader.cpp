// The plugin loader, each case in a process of its own since the load happens once per
// process: which candidate wins, and which object layout it is spoken to in.
#include "core_test_util.h"
#include "test_support.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kSystemPlugin = QStringLiteral("/usr/lib/p7zip/7z.so");
const QString kUnset = QStringLiteral("<unset>");

QString standIn(const char* flavour) {
    return QStringLiteral(P7_STAND_IN_DIR "/p7_stand_in_%1.so").arg(flavour);
}

// Runs the probe with CFR_P7ZIP_LIB as given; its output, empty when it did not finish well.
QString probe(const QString& chosenLib, const QStringList& args = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("CFR_P7ZIP_LIB");
    if (chosenLib != kUnset)
        env.insert("CFR_P7ZIP_LIB", chosenLib);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(P7_PROBE, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class TestP7Loader : public QObject {
    Q_OBJECT

private slots:
    void candidates_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        const QString system = "available 1 layout plain from " + kSystemPlugin;
        QTest::newRow("nothing chosen: standard location") << kUnset << system;
        QTest::newRow("library without CreateObject") << standIn("no_create_object") << system;
        QTest::newRow("unknown interface type") << standIn("type7") << system;
        QTest::newRow("chosen plugin wins, type 1")
            << standIn("type1") << "available 1 layout destructor from " + standIn("type1");
        QTest::newRow("no GetModuleProp: old p7zip layout")
            << standIn("legacy") << "available 1 layout destructor from " + standIn("legacy");
    }

    void candidates() {
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        if (!QFile::exists(kSystemPlugin))
            QSKIP("the system's 7-Zip plugin is not installed");
        QCOMPARE(probe(chosen), expected);
    }

    // The stand-in handler calls every method of our streams and callbacks it can reach, in the
    // layout its plugin announces: a wrong layout would call the wrong methods. The plain layout
    // is the one the real plugin uses.
    void roundTripThroughTheDestructorLayout() {
        const QString plugin = standIn("type1");
        QTemporaryDir dir;
        const QStringList files{dir.filePath("in/a.txt"),
                                dir.filePath(QString::fromUtf8("in/ü €.bin"))};
        QVERIFY(testing::writeFile(files[0], "text") &&
                testing::writeFile(files[1], testing::noiseBytes(100000)));
        const QString archive = dir.filePath("in.7z");
        QCOMPARE(probe(plugin, {"pack", archive, "pw", dir.filePath("in")}),
                 QStringLiteral("result 0"));
        QVERIFY(testing::readFile(archive).startsWith("STAND-IN"));
        QCOMPARE(probe(plugin, {"extract", archive, dir.filePath("out"), "pw"}),
                 QStringLiteral("result 0"));
        QCOMPARE(coretest::treeDifference(dir.filePath("in"), dir.filePath("out/in")), QString());
    }
};

QTEST_GUILESS_MAIN(TestP7Loader)
#include "tst_p7_loader.moc"
