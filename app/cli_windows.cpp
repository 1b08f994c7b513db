#include "app/cli_windows.h"

#include "app/password_helper.h"
#include "app/qml_module.h"
#include "jobs/pack_controller.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>

namespace {

// Made on first use and kept for the rest of the process.
bool typesRegistered = false;
QQmlApplicationEngine* cliEngine = nullptr;
QObject* progressWindow = nullptr;
QObject* resultWindow = nullptr;

void prepareEngine(QApplication& app) {
    if (!typesRegistered) {
        registerQmlTypes(&app);
        typesRegistered = true;
    }
    if (!cliEngine)
        cliEngine = new QQmlApplicationEngine(&app);
}

QObject* createWindow(const QString& name) {
    QQmlComponent component(cliEngine, QUrl(QStringLiteral("qrc:/Coffret/qml/%1.qml").arg(name)));
    QObject* window = component.create(cliEngine->rootContext());
    if (!window)
        qWarning().noquote() << QStringLiteral("Failed to create %1:").arg(name)
                             << component.errorString();
    return window;
}

void invoke(QObject* window, const char* method) {
    QMetaObject::invokeMethod(window, method);
}

// Shared with the desktop window, hence its translation context.
const char* const packSucceededText =
    QT_TRANSLATE_NOOP("MainWindow", "Pack succeeded!\nFile saved: %1");
const char* const extractSucceededText =
    QT_TRANSLATE_NOOP("MainWindow", "Extract succeeded!\nFiles extracted to: %1");

QString successText(const char* text, const QString& path) {
    return QCoreApplication::translate("MainWindow", text).arg(QDir::toNativeSeparators(path));
}

} // namespace

QString askPassword(QApplication& app, bool isForPack, const QString& promptName) {
    prepareEngine(app);
    QObject* dialog = createWindow(QStringLiteral("PasswordDialog"));
    if (!dialog)
        return QString();
    dialog->setProperty("isForPack", isForPack);
    dialog->setProperty("promptName", promptName);

    PasswordHelper helper(dialog);
    QObject::connect(dialog, SIGNAL(accepted()), &helper, SLOT(onAccepted()));
    QObject::connect(dialog, SIGNAL(rejected()), &helper, SLOT(onRejected()));
    invoke(dialog, "show");
    app.exec();

    const QString result = helper.accepted ? helper.password : QString();
    delete dialog;
    return result;
}

void runJobWithProgress(QApplication& app, const CliJob& job) {
    prepareEngine(app);
    if (!progressWindow)
        progressWindow = createWindow(QStringLiteral("ProgressDialog"));
    PackController* controller = packControllerSingleton();
    if (!controller) {
        qWarning() << "Failed to get PackController singleton";
        return;
    }

    // The outcome connections last for this job only.
    QObject outcome;
    QObject::connect(controller, &PackController::packSucceeded, &outcome,
                     [&app](const QString& destName) {
                         showResult(app, successText(packSucceededText, destName), false);
                     });
    QObject::connect(controller, &PackController::packFailed, &outcome,
                     [&app](const QString& message) { showResult(app, message, true); });
    QObject::connect(controller, &PackController::extractSucceeded, &outcome,
                     [&app](const QString& destPath) {
                         showResult(app, successText(extractSucceededText, destPath), false);
                     });
    QObject::connect(controller, &PackController::extractFailed, &outcome,
                     [&app](const QString& message) { showResult(app, message, true); });
    // The user stopped it: there is nothing to tell, and the process ends quietly.
    QObject::connect(controller, &PackController::cancelled, &outcome, [] {
        if (progressWindow)
            invoke(progressWindow, "close");
        QCoreApplication::quit();
    });

    if (progressWindow)
        invoke(progressWindow, "show");
    job(controller);
    app.exec();
}

void showResult(QApplication& app, const QString& message, bool isError) {
    if (progressWindow)
        invoke(progressWindow, "close");
    if (!resultWindow && cliEngine)
        resultWindow = createWindow(QStringLiteral("ResultDialog"));
    if (!resultWindow) {
        QCoreApplication::quit();
        return;
    }
    resultWindow->setProperty("message", message);
    resultWindow->setProperty("isError", isError);
    QObject::connect(resultWindow, SIGNAL(closed()), &app, SLOT(quit()), Qt::UniqueConnection);
    invoke(resultWindow, "show");
}
