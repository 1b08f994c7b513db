import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// What the touch pages ask for: picking, importing, packing, opening a package, and the
// answers of the job controller. One job runs at a time, so one pending request is enough.
QtObject {
    id: vaultActions

    required property StackView stack
    required property var toast
    required property var packSheet
    required property var unlockSheet
    required property var confirmDialog
    required property Component browserPage
    required property Component settingsPage
    required property Component passwordsPage

    // "import" or "pack": what the file chooser that is open was opened for.
    property string pickMode: ""
    property string pendingId: ""
    property string pendingPassword: ""
    property string packPassword: ""
    // The folder made for a package's extraction, kept while its password is retried.
    property string spareFolder: ""
    property string spareFolderFor: ""

    function pickForImport() {
        pickMode = "import";
        FilePicker.pickArchive();
    }

    function pickForPack() {
        pickMode = "pack";
        FilePicker.pickFiles();
    }

    function importFile(path) {
        if (PackController.archiveKind(path) === "unknown"
                || !PackController.archiveSupported(path)) {
            toast.show(Str.unsupported);
            return;
        }
        // A duplicate is refused by the library, which says which package it already is.
        if (Library.importArchive(path).length > 0)
            toast.show(Str.imported);
    }

    function takePendingFile() {
        var path = FilePicker.takePendingFile();
        if (path.length > 0)
            importFile(path);
    }

    function doPack(paths, password, cfr) {
        packPassword = password;
        var destination = Library.newArchivePath(Rules.packBaseName(Str.appName, new Date()),
                                                 cfr ? ".cfr" : ".zip");
        PackController.packPaths(paths, destination, password);
    }

    function openArchive(id, path, name) {
        var folder = Library.extractionForArchive(id);
        if (folder.length > 0) {
            showFolder(folder);
            return;
        }
        // The list may be older than the disk: a package deleted elsewhere goes away now.
        Library.refresh();
        if (Library.rowForId(id) < 0) {
            toast.show(Str.fileMissing);
            return;
        }
        if (!PackController.archiveSupported(path))
            toast.show(Str.unsupported);
        else if (PackController.archiveNeedsPassword(path))
            unlockSheet.openFor(id, path, name);
        else
            extract(id, path, name, "");
    }

    function extract(id, path, name, password) {
        if (spareFolderFor !== id || spareFolder.length === 0) {
            spareFolder = Library.newExtractionDir(Rules.extractionBase(name));
            spareFolderFor = id;
        }
        pendingId = id;
        pendingPassword = password;
        PackController.extract(path, spareFolder, password);
    }

    function showFolder(folder) {
        stack.push(browserPage, { "rootFolder": folder });
    }

    function showSettings() {
        stack.push(settingsPage, { "actions": vaultActions });
    }

    function showPasswords() {
        stack.push(passwordsPage, { "actions": vaultActions });
    }

    function copySavedPassword(password) {
        if (password.length === 0) {
            toast.show(Str.noPasswordSaved);
            return;
        }
        AppBackend.copyToClipboard(password);
        toast.show(Str.passwordCopied);
    }

    function confirm(message, action) {
        confirmDialog.ask(message, action);
    }

    function confirmDelete(id, name) {
        confirm(Str.confirmDelete.arg(name), function () { Library.remove(id, true); });
    }

    property Connections pickerAnswers: Connections {
        target: FilePicker

        function onPicked(paths) {
            var mode = vaultActions.pickMode;
            vaultActions.pickMode = "";
            if (mode === "import") {
                for (var i = 0; i < paths.length; ++i)
                    vaultActions.importFile(paths[i]);
            } else if (mode === "pack") {
                vaultActions.packSheet.openWith(paths);
            }
        }
        function onCancelled() {
            vaultActions.pickMode = "";
        }
        function onFileReceived(path) {
            vaultActions.takePendingFile();
        }
    }

    property Connections openerAnswers: Connections {
        target: FileOpener

        function onFailed(message) {
            vaultActions.toast.show(message);
        }
    }

    property Connections libraryAnswers: Connections {
        target: Library

        function onDuplicateDetected(existingId, existingName) {
            vaultActions.toast.show(Str.duplicate.arg(existingName));
        }
    }

    property Connections jobAnswers: Connections {
        target: PackController

        function onPackSucceeded(destination) {
            Library.addArchive(destination, false, vaultActions.packPassword);
            vaultActions.packPassword = "";
            vaultActions.toast.show(Str.packageCreated);
        }
        function onPackFailed(message) {
            vaultActions.packPassword = "";
            vaultActions.toast.show(message);
        }
        function onExtractSucceeded(destination) {
            if (vaultActions.pendingId.length > 0) {
                Library.setExtraction(vaultActions.pendingId, destination);
                Library.setDecrypted(vaultActions.pendingId, true);
                if (vaultActions.pendingPassword.length > 0)
                    Library.setPassword(vaultActions.pendingId, vaultActions.pendingPassword);
            }
            vaultActions.forgetPending();
            vaultActions.unlockSheet.close();
            vaultActions.showFolder(destination);
        }
        function onCancelled() {
            vaultActions.packPassword = "";
            vaultActions.pendingId = "";
            vaultActions.pendingPassword = "";
        }
        function onExtractFailed(message) {
            if (vaultActions.unlockSheet.opened)
                vaultActions.unlockSheet.error = Str.wrongPassword;
            else
                vaultActions.toast.show(Str.wrongPassword);
            vaultActions.pendingId = "";
            vaultActions.pendingPassword = "";
        }
    }

    function forgetPending() {
        pendingId = "";
        pendingPassword = "";
        spareFolder = "";
        spareFolderFor = "";
    }
}
