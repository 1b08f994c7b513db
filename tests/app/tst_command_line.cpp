// The command-line grammar, the names given to new folders and archives, and
// start-up: the 7z plugin shipped beside the program and the display check.
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/startup.h"
#include "app/unique_names.h"
#include "argv.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CommandForm)

namespace {

const char* const unset = "<unset>";

void setOrUnset(const char* name, const QByteArray& value) {
    if (value == unset)
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void grammar_data();
    void grammar();
    void names_data();
    void names();
    void packDestinationDefaultsToHomeFolder();
    void pluginDiscovery_data();
    void pluginDiscovery();
    void displayCheck_data();
    void displayCheck();
};

void CommandLineTest::grammar_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<CommandForm>("form");
    using F = CommandForm;
    using A = QStringList;
    QTest::newRow("no argument") << A{} << F::Graphical;
    QTest::newRow("package") << A{"/x/a.cfr"} << F::DoubleClick;
    QTest::newRow("mixed-case zip") << A{"photos.Zip"} << F::DoubleClick;
    QTest::newRow("7z alone") << A{"a.7z"} << F::Ignored;
    QTest::newRow("suffix only in the middle") << A{"a.cfr.txt"} << F::Ignored;
    QTest::newRow("two arguments") << A{"-p", "a.txt"} << F::Graphical;
    QTest::newRow("-p several") << A{"-p", "d", "a", "b", "c"} << F::PackPackage;
    QTest::newRow("-z") << A{"-z", "d", "a"} << F::PackZip;
    QTest::newRow("-x extra") << A{"-x", "d", "a.zip", "b.zip"} << F::ExtractOne;
    QTest::newRow("-xc") << A{"-xc", "d", "a.zip"} << F::ExtractHere;
    QTest::newRow("-xs") << A{"-xs", "d", "a.zip", "b.7z"} << F::ExtractSeparately;
    QTest::newRow("-pk several") << A{"-pk", ".tar.gz", "0", "d", "a", "b"} << F::PackAs;
    QTest::newRow("-pk no file") << A{"-pk", ".zip", "1", "d"} << F::Ignored;
    QTest::newRow("upper-case dashed flag") << A{"-XC", "d", "a"} << F::Ignored;
    QTest::newRow("flag with a blank") << A{"-p ", "d", "a"} << F::Ignored;
}

void CommandLineTest::grammar() {
    QFETCH(QStringList, args);
    QFETCH(CommandForm, form);
    const Argv argv(args);
    QCOMPARE(commandForm(argv.argc(), argv.argv()), form);
}

// The free-name counting itself is the library's (tst_library_names); here, what each kind
// of job names its output after.
void CommandLineTest::names_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("call"); // {archive} to extract, {folder, name, suffix} to pack
    QTest::addColumn<QString>("expected"); // relative to the temporary folder
    using L = QStringList;
    QTest::newRow("a file blocks the folder") << L{"notes"} << L{"notes.cfr"} << "notes (1)";
    QTest::newRow("suffix only") << L{} << L{".zip"} << "extracted";
    QTest::newRow("archive elsewhere")
        << L{} << L{"/somewhere/else/Report 2024.CFR"} << "Report 2024";
    QTest::newRow("counter before the suffix")
        << L{"report.tar.gz"} << L{"", "report", ".tar.gz"} << "report (1).tar.gz";
    QTest::newRow("folder's own name") << L{"docs/"} << L{"docs/", "", ".zip"} << "docs/docs.zip";
    QTest::newRow("unknown suffix as written")
        << L{} << L{"", "report", ".weird"} << "report.weird";
}

void CommandLineTest::names() {
    QFETCH(QStringList, existing);
    QFETCH(QStringList, call);
    QFETCH(QString, expected);
    QTemporaryDir root;
    for (const QString& entry : existing) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath(root.path() + '/' + entry));
        else
            QVERIFY(testing::writeFile(root.path() + '/' + entry, "x"));
    }
    const QString name = call.size() == 1
                             ? uniqueExtractionDir(root.path(), call[0])
                             : uniquePackDestination(root.path() + '/' + call[0], call[1], call[2]);
    QCOMPARE(name, root.path() + '/' + expected);
}

void CommandLineTest::packDestinationDefaultsToHomeFolder() {
    testing::TemporaryHome home;
    QCOMPARE(uniquePackDestination(QString(), "x", ".zip"), QDir::homePath() + "/x.zip");
    // The root folder has no name of its own.
    QString expected = "/archive.zip";
    for (int k = 1; QFile::exists(expected); ++k)
        expected = QStringLiteral("/archive (%1).zip").arg(k);
    QCOMPARE(uniquePackDestination("/", QString(), ".zip"), expected);
}

void CommandLineTest::pluginDiscovery_data() {
    QTest::addColumn<QByteArray>("preset");
    QTest::addColumn<QStringList>("plugins"); // relative to <root>, the program is in <root>/bin
    QTest::addColumn<QString>("expected");    // relative to <root>, or as written when absolute
    QTest::newRow("library folder wins")
        << QByteArray(unset) << QStringList{"bin/7z.so", "lib/coffret/7z.so"}
        << "lib/coffret/7z.so";
    QTest::newRow("empty value is replaced")
        << QByteArray("") << QStringList{"bin/7z.so"} << "bin/7z.so";
    QTest::newRow("set value is kept")
        << QByteArray("/opt/p7zip/7z.so") << QStringList{"bin/7z.so"} << "/opt/p7zip/7z.so";
}

void CommandLineTest::pluginDiscovery() {
    QFETCH(QByteArray, preset);
    QFETCH(QStringList, plugins);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(QDir().mkpath(root.path() + "/bin"));
    for (const QString& plugin : plugins)
        QVERIFY(testing::writeFile(root.path() + '/' + plugin, "ELF"));
    setOrUnset("CFR_P7ZIP_LIB", preset);

    discoverP7zipPlugin(root.path() + "/bin");
    const QString value = qEnvironmentVariable("CFR_P7ZIP_LIB");
    // Stored absolute and clean, not as "bin/../lib".
    QCOMPARE(value, expected.startsWith('/') ? expected : root.path() + '/' + expected);
}

void CommandLineTest::displayCheck_data() {
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("configured");
    const QByteArray u = unset;
    QTest::newRow("nothing") << u << u << u << QStringList{} << false;
    QTest::newRow("empty DISPLAY") << u << QByteArray("") << u << QStringList{} << false;
    QTest::newRow("Wayland") << u << u << QByteArray("wayland-0") << QStringList{} << true;
    QTest::newRow("xcb, no display") << QByteArray("xcb") << u << u << QStringList{} << false;
    QTest::newRow("-platform offscreen")
        << u << u << u << QStringList{"-platform", "offscreen"} << true;
}

void CommandLineTest::displayCheck() {
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QStringList, args);
    QFETCH(bool, configured);
    setOrUnset("QT_QPA_PLATFORM", platform);
    setOrUnset("DISPLAY", display);
    setOrUnset("WAYLAND_DISPLAY", wayland);
    const Argv argv(args);
    QCOMPARE(displayConfigured(argv.argc(), argv.argv()), configured);
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
