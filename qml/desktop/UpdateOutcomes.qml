import QtQuick 2.15
import Coffret 1.0

// Answers of the update checker: the silent start-up check speaks only when it finds an
// update; a check from the menu always answers.
Connections {
    property Item window
    property var updateDialog

    target: Updater

    function onUpdateAvailable(versionName, notes, url) {
        window.manualUpdateCheck = false;
        updateDialog.present(versionName, notes, url);
    }

    function onUpToDate() {
        if (!window.manualUpdateCheck)
            return;
        window.manualUpdateCheck = false;
        window.showMessage(qsTr("You're up to date."), false);
    }

    function onCheckFailed() {
        if (!window.manualUpdateCheck)
            return;
        window.manualUpdateCheck = false;
        window.showMessage(qsTr("Could not check for updates. Please try again later."), true);
    }

    // A build without an update server: the system's package manager brings updates.
    function onUpdatesDisabled(message) {
        window.manualUpdateCheck = false;
        window.showMessage(message, false);
    }

    function onDownloadFailed(message) {
        window.showMessage(qsTr("Download failed: %1").arg(message), true);
    }
}
