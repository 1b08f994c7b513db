#include "app/qml_module.h"

#include "jobs/pack_controller.h"
#include "library/library_index.h"
#include "secrets/password_model.h"
#include "secrets/user_data_exposer.h"
#include "secrets/vault_auth.h"
#include "services/app_backend.h"
#include "services/file_model.h"
#include "services/file_opener.h"
#include "services/file_picker.h"
#include "services/folder_listing.h"
#include "services/update_checker.h"

#include <QPointer>
#include <QQmlEngine>

namespace {

const char* const moduleUri = "Coffret";

QPointer<AppBackend> appBackend;
QPointer<PackController> packController;
QPointer<UpdateChecker> updater;
QPointer<FileOpener> fileOpener;
QPointer<LibraryIndex> library;
QPointer<VaultAuth> vaultAuth;
QPointer<FilePicker> filePicker;
QPointer<UserDataExposer> userData;

// The program owns the object; every engine that asks gets the one that exists then, and
// never deletes it.
template <typename T> void registerSingleton(const char* name, QPointer<T>& slot) {
    QPointer<T>* where = &slot;
    qmlRegisterSingletonType<T>(
        moduleUri, 1, 0, name, [where](QQmlEngine*, QJSEngine*) -> QObject* {
            T* object = where->data();
            if (object)
                QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
            return object;
        });
}

template <typename T> bool createOnce(QPointer<T>& slot, QObject* parent) {
    if (slot)
        return false;
    slot = new T(parent);
    return true;
}

void createSingletons(QObject* parent) {
    createOnce(appBackend, parent);
    createOnce(packController, parent);
    createOnce(updater, parent);
    createOnce(fileOpener, parent);
    if (createOnce(library, parent))
        library->load();
    createOnce(vaultAuth, parent);
    createOnce(filePicker, parent);
    if (createOnce(userData, parent))
        userData->load();
}

void registerModule() {
    registerSingleton("AppBackend", appBackend);
    registerSingleton("PackController", packController);
    registerSingleton("Updater", updater);
    registerSingleton("FileOpener", fileOpener);
    registerSingleton("Library", library);
    registerSingleton("VaultAuth", vaultAuth);
    registerSingleton("FilePicker", filePicker);
    qmlRegisterType<FileModel>(moduleUri, 1, 0, "FileModel");
    qmlRegisterType<UserDataExposer>(moduleUri, 1, 0, "UserDataExposer");
    qmlRegisterUncreatableType<PasswordModel>(
        moduleUri, 1, 0, "PasswordModel",
        QStringLiteral("PasswordModel cannot be created from QML"));
    registerSingleton("UserData", userData);
    // The touch interface's folder browser.
    qmlRegisterType<FolderListing>(moduleUri, 1, 0, "FolderListing");
}

} // namespace

void registerQmlTypes(QObject* parent) {
    createSingletons(parent);
    static bool registered = false;
    if (!registered) {
        registerModule();
        registered = true;
    }
}

PackController* packControllerSingleton() {
    return packController;
}

UpdateChecker* updaterSingleton() {
    return updater;
}

FilePicker* filePickerSingleton() {
    return filePicker;
}
