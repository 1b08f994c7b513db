import QtQuick 2.15
import Coffret 1.0
import "PathRules.js" as PathRules

// Bringing packages into the vault and opening them: reusing an intact extraction, asking
// for the password, extracting into a fresh folder.
QtObject {
    id: flow

    property Item window
    property var passwordDialog
    property var progressDialog
    // Set while Library.importArchive runs when the file turned out to be in the vault already.
    property bool duplicateSeen: false

    // The item's package file; the library's roles are numbered from 257 in a fixed order.
    readonly property int pathRole: 260

    function itemPath(itemId) {
        var row = Library.rowForId(itemId);
        return row < 0 ? "" : Library.data(Library.index(row, 0), pathRole);
    }

    // Imports a file and, when asked, opens the new item; true when an item was opened.
    function importAndOpen(file, open) {
        var name = PathRules.fileName(file);
        duplicateSeen = false;
        var id = Library.importArchive(file);
        if (id.length === 0) {
            if (!duplicateSeen)
                window.showMessage(qsTr("Could not import \"%1\".").arg(name), true);
            return false;
        }
        if (open)
            openVaultItem(id, itemPath(id), name, "");
        return open;
    }

    function importRequested() {
        var picked = AppBackend.getOpenFileNames(qsTr("Import archive into vault"));
        if (picked.length === 0 || window.jobRunning())
            return;
        var file = picked[0];
        window.currentTab = 0;
        if (PackController.archiveKind(file) === "unknown") {
            window.showMessage(qsTr("\"%1\" is not an archive.").arg(PathRules.fileName(file)),
                               true);
            return;
        }
        importAndOpen(file, true);
    }

    function openVaultItem(itemId, path, name, savedPassword) {
        if (window.jobRunning())
            return;
        var folder = Library.extractionForArchive(itemId);
        if (folder.length > 0) {
            if (Library.extractionIntact(itemId)) {
                FileOpener.openExternally(folder);
                return;
            }
            // The user may have worked in that folder: nothing of it goes without a yes.
            if (!AppBackend.confirm(qsTr("Extracted files changed"),
                                    qsTr("The extracted files of \"%1\" were changed after extraction. Discard those changes and extract again?").arg(name))) {
                FileOpener.openExternally(folder);
                return;
            }
            Library.clearExtraction(itemId, true);
        }
        if (!PackController.archiveSupported(path)) {
            window.showMessage(qsTr("Unsupported format"), true);
            return;
        }
        var base = PathRules.extractionBaseName(name);
        if (!PackController.archiveNeedsPassword(path)) {
            doVaultExtract(itemId, path, base, "");
            return;
        }
        passwordDialog.isForPack = false;
        passwordDialog.passwordOptional = false;
        passwordDialog.promptName = name;
        passwordDialog.forVault = true;
        passwordDialog.vaultItemId = itemId;
        passwordDialog.vaultPath = path;
        passwordDialog.vaultBaseName = base;
        passwordDialog.prefillPassword = savedPassword;
        passwordDialog.show();
    }

    function doVaultExtract(itemId, path, baseName, password) {
        var dir = Library.newExtractionDir(baseName);
        window.pendingVaultId = itemId;
        window.pendingVaultPwd = password;
        PackController.extract(path, dir, password);
        progressDialog.show();
    }

    function forgetPrompt() {
        passwordDialog.forVault = false;
        passwordDialog.vaultItemId = "";
        passwordDialog.vaultPath = "";
        passwordDialog.vaultBaseName = "";
    }

    function passwordAccepted() {
        var itemId = passwordDialog.vaultItemId;
        var path = passwordDialog.vaultPath;
        var base = passwordDialog.vaultBaseName;
        forgetPrompt();
        doVaultExtract(itemId, path, base, passwordDialog.enteredPassword);
    }

    property Connections duplicates: Connections {
        target: Library

        function onDuplicateDetected(existingId, existingName) {
            flow.duplicateSeen = true;
            flow.window.currentTab = 0;
            flow.window.showDuplicate(existingId, existingName);
        }
    }
}
