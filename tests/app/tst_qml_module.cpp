// The QML module: one object per singleton whatever the number of registrations and engines,
// the documents load, the touch interface's tokens and texts, and the file-open filter.
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
#include <QPalette>
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

template <typename T> int directChildren() {
    return qApp->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly).size();
}

// Creates a document's root object; the engine's warnings and the component's errors go
// into *problems.
std::unique_ptr<QObject> create(QQmlEngine& engine, const QUrl& url, QStringList* problems,
                                QQmlContext* context = nullptr) {
    QObject::connect(&engine, &QQmlEngine::warnings, &engine,
                     [problems](const QList<QQmlError>& warnings) {
                         for (const QQmlError& warning : warnings)
                             *problems << warning.toString();
                     });
    QQmlComponent component(&engine, url);
    std::unique_ptr<QObject> object(component.create(context ? context : engine.rootContext()));
    for (const QQmlError& error : component.errors())
        *problems << error.toString();
    return object;
}

std::unique_ptr<QObject> createFromText(QQmlEngine& engine, const QByteArray& text,
                                        QStringList* problems) {
    QQmlComponent component(&engine);
    component.setData(text, QUrl("inline.qml"));
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
    void tokensFollowTheSystemAppearance();
    void registeringTwiceMakesNoSecondSingleton();
    void everyEngineSeesTheSameSingletons();
    void typesCreatableAndNot();
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

void QmlModuleTest::registeringTwiceMakesNoSecondSingleton() {
    PackController* controller = packControllerSingleton();
    UpdateChecker* updater = updaterSingleton();
    FilePicker* picker = filePickerSingleton();
    QVERIFY(controller && updater && picker);
    registerQmlTypes(qApp);
    QCOMPARE(packControllerSingleton(), controller);
    QCOMPARE(updaterSingleton(), updater);
    QCOMPARE(filePickerSingleton(), picker);
    QCOMPARE(directChildren<AppBackend>(), 1);
    QCOMPARE(directChildren<PackController>(), 1);
    QCOMPARE(directChildren<UpdateChecker>(), 1);
    QCOMPARE(directChildren<FileOpener>(), 1);
    QCOMPARE(directChildren<LibraryIndex>(), 1);
    QCOMPARE(directChildren<VaultAuth>(), 1);
    QCOMPARE(directChildren<FilePicker>(), 1);
    QCOMPARE(directChildren<UserDataExposer>(), 1);
}

void QmlModuleTest::everyEngineSeesTheSameSingletons() {
    const QByteArray text = "import QtQml 2.15\nimport Coffret 1.0\nQtObject {\n"
                            "  property var controller: PackController\n"
                            "  property var library: Library\n"
                            "  property var userData: UserData\n"
                            "  property var picker: FilePicker\n"
                            "  property int saved: UserData.passwordModel.count\n}\n";
    QPointer<PackController> controller = packControllerSingleton();
    for (int round = 0; round < 2; ++round) {
        QStringList problems;
        {
            QQmlEngine engine;
            std::unique_ptr<QObject> object = createFromText(engine, text, &problems);
            QVERIFY2(object, qPrintable(problems.join('\n')));
            QCOMPARE(object->property("controller").value<QObject*>(),
                     static_cast<QObject*>(controller.data()));
            QCOMPARE(object->property("picker").value<QObject*>(),
                     static_cast<QObject*>(filePickerSingleton()));
            QCOMPARE(object->property("library").value<QObject*>()->parent(), qApp);
            QCOMPARE(object->property("userData").value<QObject*>()->parent(), qApp);
            QCOMPARE(object->property("saved").toInt(), 0);
        }
        // The engine is gone; the program's objects are not.
        QVERIFY(controller);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
}

void QmlModuleTest::typesCreatableAndNot() {
    QQmlEngine engine;
    QStringList problems;
    auto created = createFromText(engine,
                                  "import QtQml 2.15\nimport Coffret 1.0\nQtObject {\n"
                                  "  property var files: FileModel {}\n"
                                  "  property var store: UserDataExposer {}\n}\n",
                                  &problems);
    QVERIFY2(created, qPrintable(problems.join('\n')));
    QVERIFY(created->property("files").value<QObject*>());
    QVERIFY(created->property("store").value<QObject*>() != nullptr);

    auto refused = createFromText(
        engine,
        "import QtQml 2.15\nimport Coffret 1.0\nQtObject { property var m: PasswordModel {} }\n",
        &problems);
    QVERIFY(!refused);
    QVERIFY2(problems.join('\n').contains("PasswordModel cannot be created from QML"),
             qPrintable(problems.join('\n')));
}

void QmlModuleTest::documentsLoad_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("withContext");
    QTest::newRow("desktop") << "Main.qml" << false;
    QTest::newRow("mobile") << "MobileApp.qml" << true;
    QTest::newRow("password") << "PasswordDialog.qml" << false;
    QTest::newRow("progress") << "ProgressDialog.qml" << false;
    QTest::newRow("result") << "ResultDialog.qml" << false;
    QTest::newRow("tokens") << "Tokens.qml" << false;
    QTest::newRow("strings") << "Strings.qml" << false;
}

void QmlModuleTest::documentsLoad() {
    QFETCH(QString, document);
    QFETCH(bool, withContext);
    QQmlEngine engine;
    QStringList problems;
    const QString base = QStringLiteral("qrc:/Coffret/qml/");
    std::unique_ptr<QObject> theme;
    std::unique_ptr<QObject> strings;
    if (withContext) {
        theme = create(engine, QUrl(base + "Tokens.qml"), &problems);
        strings = create(engine, QUrl(base + "Strings.qml"), &problems);
        engine.rootContext()->setContextProperty("Theme", theme.get());
        engine.rootContext()->setContextProperty("Str", strings.get());
    }
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
    QCOMPARE(strings->property("itemsSelected").toString(), QStringLiteral("%1 item(s) selected"));
    QCOMPARE(strings->property("langZh").toString(), QString::fromUtf8("中文"));

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

void QmlModuleTest::tokensFollowTheSystemAppearance() {
    const QPalette saved = QGuiApplication::palette();
    QStringList problems;
    QQmlEngine engine;
    std::unique_ptr<QObject> tokens =
        create(engine, QUrl("qrc:/Coffret/qml/Tokens.qml"), &problems);
    QVERIFY2(tokens, qPrintable(problems.join('\n')));
    QCOMPARE(tokens->property("bg").value<QColor>(), QColor("#ffffff"));
    QCOMPARE(tokens->property("accent").value<QColor>(), QColor("#007aff"));
    QCOMPARE(tokens->property("rowH").toInt(), 66);

    // The system turns dark while the interface runs.
    QPalette dark = saved;
    dark.setColor(QPalette::Window, QColor("#202020"));
    QApplication::setPalette(dark);
    const bool darkMode = tokens->property("dark").toBool();
    const QColor darkBackground = tokens->property("bg").value<QColor>();
    const QColor darkAccent = tokens->property("accent").value<QColor>();
    QApplication::setPalette(saved);

    QVERIFY(darkMode);
    QCOMPARE(darkBackground, QColor("#000000"));
    QCOMPARE(darkAccent, QColor("#0a84ff"));
    QCOMPARE(tokens->property("bg").value<QColor>(), QColor("#ffffff"));
}

void QmlModuleTest::fileOpenEvents_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QString>("delivered"); // empty: nothing delivered
    QTest::newRow("file") << "/data/a.cfr" << QUrl() << "/data/a.cfr";
    QTest::newRow("local URL only")
        << QString() << QUrl("file:///data/b%20c.zip") << "/data/b c.zip";
    QTest::newRow("remote URL") << QString() << QUrl("https://example.org/x.cfr") << QString();
    QTest::newRow("nothing") << QString() << QUrl() << QString();
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
