// The QML module: one object per singleton whatever the number of registrations and engines,
// the documents load, the touch interface's texts, and the file-open filter.
#include "app/file_open_filter.h"
#include "app/graphical.h"
#include "app/qml_module.h"
#include "jobs/pack_controller.h"
#include "library/library_index.h"
#include "secrets/user_data.h"
#include "secrets/user_data_exposer.h"
#include "secrets/vault_auth.h"
#include "services/app_backend.h"
#include "services/file_opener.h"
#include "services/file_picker.h"
#include "services/update_checker.h"
#include "test_support.h"

#include <QApplication>
#include <QFileOpenEvent>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Creates a document's root object; the engine's warnings and the component's errors go
// into *problems.
std::unique_ptr<QObject> create(QQmlEngine& engine, const QUrl& url, QStringList* problems) {
    QObject::connect(&engine, &QQmlEngine::warnings, &engine,
                     [problems](const QList<QQmlError>& warnings) {
                         for (const QQmlError& warning : warnings)
                             *problems << warning.toString();
                     });
    QQmlComponent component(&engine, url);
    std::unique_ptr<QObject> object(component.create());
    for (const QQmlError& error : component.errors())
        *problems << error.toString();
    return object;
}

} // namespace

class QmlModuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void documentsLoad_data();
    void documentsLoad();
    void brokenRootDocumentLeavesTheLoopWithMinusOne();
    void stringsFollowTheLanguageChoice();
    void fileOpenEvents_data();
    void fileOpenEvents();

private:
    testing::TemporaryHome home_;
};

void QmlModuleTest::initTestCase() {
    QVERIFY(home_.isValid());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    UserData::instance()->load();
    registerQmlTypes(qApp);
    // Nothing here may reach the real download server.
    updaterSingleton()->setServerAddress(QUrl("http://127.0.0.1:9"));
}

void QmlModuleTest::documentsLoad_data() {
    QTest::addColumn<QString>("document");
    for (const char* document : {"Main.qml", "MobileApp.qml", "PasswordDialog.qml",
                                 "ProgressDialog.qml", "ResultDialog.qml"})
        QTest::newRow(document) << QString::fromLatin1(document);
}

void QmlModuleTest::documentsLoad() {
    QFETCH(QString, document);
    QQmlEngine engine;
    QStringList problems;
    const QString base = QStringLiteral("qrc:/Coffret/qml/");
    // The context objects the touch interface is given.
    std::unique_ptr<QObject> theme = create(engine, QUrl(base + "Tokens.qml"), &problems);
    std::unique_ptr<QObject> strings = create(engine, QUrl(base + "Strings.qml"), &problems);
    engine.rootContext()->setContextProperty("Theme", theme.get());
    engine.rootContext()->setContextProperty("Str", strings.get());
    std::unique_ptr<QObject> root = create(engine, QUrl(base + document), &problems);
    QVERIFY2(root, qPrintable(problems.join('\n')));
    QTest::qWait(50);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void QmlModuleTest::brokenRootDocumentLeavesTheLoopWithMinusOne() {
    QTemporaryDir dir;
    const QString broken = dir.path() + "/Broken.qml";
    QVERIFY(testing::writeFile(broken, "import QtQuick 2.15\nItem { notAProperty: 1 }\n"));
    QQmlApplicationEngine engine;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(42); });
    guard.start(5000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*Broken.qml.*notAProperty.*"));
    loadRootDocument(engine, QUrl::fromLocalFile(broken));
    QCOMPARE(qApp->exec(), -1);
}

void QmlModuleTest::stringsFollowTheLanguageChoice() {
    QQmlEngine engine;
    QStringList problems;
    const QUrl url("qrc:/Coffret/qml/Strings.qml");
    std::unique_ptr<QObject> strings = create(engine, url, &problems);
    QVERIFY2(strings, qPrintable(problems.join('\n')));
    // Nothing chosen: the Chinese default locale decides.
    QCOMPARE(strings->property("langPref").toString(), QString());
    QCOMPARE(strings->property("vault").toString(), QString::fromUtf8("我的加密包"));
    QCOMPARE(strings->property("appName").toString(), QString::fromUtf8("珂匣"));

    QVERIFY(strings->setProperty("langPref", "en"));
    QCOMPARE(strings->property("vault").toString(), QStringLiteral("My Packages"));

    auto* backend = qApp->findChild<AppBackend*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(backend->getSetting("i18n/langPref"), QStringLiteral("en"));
    std::unique_ptr<QObject> restarted = create(engine, url, &problems);
    QCOMPARE(restarted->property("appName").toString(), QStringLiteral("Coffret"));
    QVERIFY(restarted->setProperty("langPref", ""));
    QCOMPARE(backend->getSetting("i18n/langPref", "unset"), QString());

    // Following the system: its locale is handed over at creation.
    for (const auto& [locale, appName] :
         {std::make_pair("en_US", "Coffret"), std::make_pair("zh_TW", "珂匣")}) {
        QQmlComponent component(&engine, url);
        std::unique_ptr<QObject> system(component.createWithInitialProperties(
            {{"systemLocaleName", QString::fromLatin1(locale)}}));
        QVERIFY(system);
        QCOMPARE(system->property("appName").toString(), QString::fromUtf8(appName));
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void QmlModuleTest::fileOpenEvents_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("delivered"); // empty: nothing delivered
    QTest::newRow("local URL only")
        << QString() << QUrl("file:///data/b%20c.zip") << "/data/b c.zip";
    QTest::newRow("remote URL") << QString() << QUrl("https://example.org/x.cfr") << QString();
}

void QmlModuleTest::fileOpenEvents() {
    QFETCH(QString, file);
    QFETCH(QUrl, url);
    QFETCH(QString, delivered);
    FileOpenFilter filter;
    FilePicker* picker = filePickerSingleton();
    picker->takePendingFile();
    QSignalSpy received(picker, &FilePicker::fileReceived);

    QFileOpenEvent event = url.isEmpty() ? QFileOpenEvent(file) : QFileOpenEvent(url);
    QVERIFY(filter.eventFilter(qApp, &event));

    QEvent other(QEvent::Timer);
    QVERIFY(!filter.eventFilter(qApp, &other));
    if (delivered.isEmpty()) {
        QCOMPARE(received.count(), 0);
        QCOMPARE(picker->takePendingFile(), QString());
    } else {
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.first().first().toString(), delivered);
        QCOMPARE(picker->takePendingFile(), delivered);
    }
}

QTEST_MAIN(QmlModuleTest)
#include "tst_qml_module.moc"
