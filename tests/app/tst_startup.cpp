// Start-up: the 7z plugin shipped beside the program, the translation search and the display
// check.
#include "app/display_check.h"
#include "app/startup.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const unset = "<unset>";

void setOrUnset(const char* name, const QByteArray& value) {
    if (value == unset)
        qunsetenv(name);
    else
        qputenv(name, value);
}

QString applicationQm() {
    return QStringLiteral(COFFRET_BINARY_DIR "/app/Coffret_zh_CN.qm");
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void pluginDiscovery_data();
    void pluginDiscovery();
    void displayCheck_data();
    void displayCheck();
    // Installs translators for the rest of the process: keep it last.
    void chineseTranslationIsInstalled();
};

void StartupTest::pluginDiscovery_data() {
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

void StartupTest::pluginDiscovery() {
    QFETCH(QByteArray, preset);
    QFETCH(QStringList, plugins);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(QDir().mkpath(root.path() + "/bin"));
    for (const QString& plugin : plugins)
        QVERIFY(testing::writeFile(root.path() + '/' + plugin, "ELF"));
    setOrUnset("CFR_P7ZIP_LIB", preset);

    discoverP7zipPlugin(root.path() + "/bin");

    if (expected == unset) {
        QVERIFY(!qEnvironmentVariableIsSet("CFR_P7ZIP_LIB"));
        return;
    }
    const QString value = qEnvironmentVariable("CFR_P7ZIP_LIB");
    // Stored absolute and clean, not as "bin/../lib".
    QCOMPARE(value, expected.startsWith('/') ? expected : root.path() + '/' + expected);
}

void StartupTest::displayCheck_data() {
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QList<QByteArray>>("args");
    QTest::addColumn<bool>("configured");
    const QByteArray u = unset;
    QTest::newRow("nothing") << u << u << u << QList<QByteArray>{} << false;
    QTest::newRow("Wayland") << u << u << QByteArray("wayland-0") << QList<QByteArray>{} << true;
    QTest::newRow("xcb, no display") << QByteArray("xcb") << u << u << QList<QByteArray>{} << false;
    QTest::newRow("-platform offscreen")
        << u << u << u << QList<QByteArray>{"-platform", "offscreen"} << true;
}

void StartupTest::displayCheck() {
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(QList<QByteArray>, args);
    QFETCH(bool, configured);
    setOrUnset("QT_QPA_PLATFORM", platform);
    setOrUnset("DISPLAY", display);
    setOrUnset("WAYLAND_DISPLAY", wayland);
    std::vector<const char*> argv{"coffret"};
    for (const QByteArray& arg : args)
        argv.push_back(arg.constData());
    QCOMPARE(displayConfigured(int(argv.size()), argv.data()), configured);
}

void StartupTest::chineseTranslationIsInstalled() {
    QVERIFY2(QFileInfo::exists(applicationQm()), qPrintable(applicationQm()));
    QTemporaryDir root;
    const QString shared = root.path() + "/share/coffret/translations";
    QVERIFY(QDir().mkpath(shared));
    QVERIFY(QDir().mkpath(root.path() + "/bin"));
    QVERIFY(QFile::copy(applicationQm(), shared + "/Coffret_zh_CN.qm"));

    QTest::ignoreMessage(QtDebugMsg, qPrintable("Application translations loaded from: " + shared));
    QTest::ignoreMessage(QtDebugMsg, "Using Chinese translations");
    installTranslations(*QCoreApplication::instance(), root.path() + "/bin/coffret");

    QCOMPARE(QCoreApplication::translate("PackController", "Packing..."),
             QString::fromUtf8("正在打包…"));
    QCOMPARE(QCoreApplication::translate("PasswordDialog", "Input password please!"),
             QString::fromUtf8("请输入密码！"));
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
