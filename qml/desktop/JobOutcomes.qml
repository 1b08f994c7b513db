import QtQuick 2.15
import Coffret 1.0

// What the window does when a job it started ends.
Connections {
    property Item window

    signal jobCancelled

    target: PackController

    function onPackSucceeded(destName) {
        Library.addArchive(destName, false, window.pendingPackPassword);
        window.pendingPackPassword = "";
        window.showMessage(qsTranslate("MainWindow", "Pack succeeded!\nFile saved: %1")
                           .arg(destName), false);
    }

    function onExtractSucceeded(destPath) {
        if (window.pendingVaultId.length === 0) {
            window.showMessage(qsTranslate("MainWindow", "Extract succeeded!\nFiles extracted to: %1")
                               .arg(destPath), false);
            return;
        }
        var id = window.pendingVaultId;
        Library.setExtraction(id, destPath);
        Library.setDecrypted(id, true);
        // An archive without a password must not wipe the one saved for it.
        if (window.pendingVaultPwd.length > 0)
            Library.setPassword(id, window.pendingVaultPwd);
        window.pendingVaultId = "";
        window.pendingVaultPwd = "";
        FileOpener.openExternally(destPath);
    }

    function onPackFailed(message) {
        window.pendingPackPassword = "";
        window.showMessage(message, true);
    }

    function onExtractFailed(message) {
        window.showMessage(message, true);
    }

    // A cancelled job leaves nothing to record: the next job starts from scratch.
    function onCancelled() {
        window.pendingVaultId = "";
        window.pendingVaultPwd = "";
        window.pendingPackPassword = "";
        jobCancelled();
    }
}
