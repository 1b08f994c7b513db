import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import Coffret 1.0

// The touch interface's root window: the vault first, pages pushed over it, forms as sheets.
Window {
    id: root

    objectName: "mobileWindow"

    width: 390
    height: 844
    visible: true
    title: Str.appName
    color: Theme.bg

    Component.onCompleted: {
        UserData.load();
        Library.refresh();
    }
    Component.onDestruction: UserData.save()

    StackView {
        id: stack

        objectName: "stack"
        anchors.fill: parent
        initialItem: VaultPage {
            actions: vaultActions
            Component.onCompleted: vaultActions.takePendingFile()
        }
    }

    VaultActions {
        id: vaultActions

        objectName: "vaultActions"

        stack: stack
        toast: toast
        packSheet: packSheet
        unlockSheet: unlockSheet
        confirmDialog: confirmDialog
        browserPage: Component {
            FolderBrowserPage {}
        }
        settingsPage: Component {
            SettingsPage {}
        }
        passwordsPage: Component {
            PasswordsPage {}
        }
    }

    PackSheet {
        id: packSheet

        objectName: "packSheet"
        onConfirmed: vaultActions.doPack(paths, password, true)
        onNotice: toast.show(text)
    }

    UnlockSheet {
        id: unlockSheet

        objectName: "unlockSheet"
        onConfirmed: vaultActions.extract(itemId, path, name, password)
    }

    ConfirmDelete {
        id: confirmDialog

        objectName: "confirmDialog"
    }

    WorkingPopup {
        objectName: "workingPopup"
    }

    Toast {
        id: toast

        objectName: "toast"
        // Above the sheets, which say what the toast is about.
        parent: Overlay.overlay
    }
}
