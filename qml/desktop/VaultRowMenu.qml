import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "PathRules.js" as PathRules

// The row menu of a vault package; its entries follow the row it was opened for.
Menu {
    id: menu

    property Item row: null
    readonly property bool hasExtraction: row !== null && row.hasExtraction
    readonly property bool hasPassword: row !== null && row.hasPassword

    signal openRequested
    signal passwordCopied

    function openFor(target) {
        row = target;
        popup();
    }

    MenuItem {
        text: qsTr("Open")
        onTriggered: menu.openRequested()
    }
    MenuItem {
        objectName: "openFolderEntry"
        text: qsTr("Open extracted folder")
        enabled: menu.hasExtraction
        onTriggered: FileOpener.openExternally(menu.row.extraction)
    }
    MenuItem {
        objectName: "copyPasswordEntry"
        text: qsTr("Copy password")
        enabled: menu.hasPassword
        onTriggered: {
            AppBackend.copyToClipboard(menu.row.savedPassword);
            menu.passwordCopied();
        }
    }
    MenuItem {
        text: qsTr("Show package in folder")
        onTriggered: FileOpener.openExternally(PathRules.folderOf(menu.row.path))
    }
    MenuSeparator {}
    MenuItem {
        objectName: "clearFilesEntry"
        text: qsTr("Clear extracted files")
        enabled: menu.hasExtraction
        onTriggered: {
            if (AppBackend.confirm(qsTr("Clear extracted files"),
                                   qsTr("Delete the extracted files for \"%1\"? The package and its saved password are kept.").arg(menu.row.name)))
                Library.clearExtraction(menu.row.itemId, true);
        }
    }
    MenuItem {
        objectName: "forgetPasswordEntry"
        text: qsTr("Forget password")
        enabled: menu.hasPassword
        onTriggered: Library.clearPassword(menu.row.itemId)
    }
    MenuItem {
        text: qsTr("Delete from vault…")
        onTriggered: {
            if (AppBackend.confirm(qsTr("Delete from vault"),
                                   qsTr("Remove \"%1\" from the vault and delete its files from disk?").arg(menu.row.name)))
                Library.remove(menu.row.itemId, true);
        }
    }
}
