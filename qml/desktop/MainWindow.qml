import QtQuick 2.15
import QtQuick.Layouts 1.15
import Coffret 1.0
import "PathRules.js" as PathRules
import "WindowRules.js" as WindowRules

// The desktop window's content: the two tabs, the window's dialogs, and what ties them to
// the backend. Vault opening and packing have their own documents.
Item {
    id: root

    property int currentTab: 0
    property alias authSetup: authOverlay.setup
    property alias authError: authOverlay.error
    property string packDestFile: ""
    property string pendingVaultId: ""
    property string pendingVaultPwd: ""
    property string pendingPackPassword: ""
    property alias packFormatIndex: packPage.formatIndex
    readonly property string packExt: packPage.formatExt
    property alias packEncrypt: packPage.encrypt
    readonly property bool packFormatOptionalEncrypt: packPage.encryptOptional
    property alias colNameW: packPage.colNameW
    property alias colSizeW: packPage.colSizeW
    property alias colKindW: packPage.colKindW
    property bool manualUpdateCheck: false

    readonly property alias fileModel: files
    readonly property alias vaultFlow: vault
    readonly property alias packFlow: pack
    readonly property alias passwordWindow: passwordDialog

    function showMessage(text, isError) {
        messageDialog.show(text, isError);
    }

    function packFormatLabel() {
        return packPage.formatLabel;
    }

    function showDuplicate(itemId, name) {
        vaultPage.flash(itemId);
        showMessage(qsTr("\"%1\" is already in the vault (identical content), so it was not added again.")
                    .arg(name), false);
    }

    function applyVaultPrompt() {
        if (WindowRules.vaultPromptDue(currentTab, VaultAuth.unlocked, authOverlay.visible))
            authOverlay.open(!VaultAuth.hasMasterPassword);
    }

    function showAuthOverlay() {
        if (!authOverlay.visible)
            authOverlay.open(!VaultAuth.hasMasterPassword);
    }

    // A second job would be refused by the controller, and the window would take the
    // running job's outcome for the new one.
    function jobRunning() {
        if (!PackController.isRunning)
            return false;
        showMessage(qsTr("Please wait until the running job has finished."), true);
        return true;
    }

    function handleDrop(urls) {
        if (jobRunning())
            return;
        var entries = PathRules.classifyDrop(urls, function (path) {
            return PackController.archiveKind(path);
        });
        var skipped = 0;
        var opened = false;
        for (var i = 0; i < entries.length; ++i) {
            var entry = entries[i];
            if (entry.action === "skip") {
                ++skipped;
            } else if (entry.action === "import") {
                currentTab = 0;
                if (!VaultAuth.unlocked) {
                    showAuthOverlay();
                    return;
                }
                // One password window at a time: only the first new item is opened.
                opened = vault.importAndOpen(entry.path, !opened) || opened;
            } else {
                currentTab = 1;
                pack.addDropped(entry.path, entry.action === "folder");
            }
        }
        if (skipped > 0)
            showMessage(qsTr("Only files and folders on this computer can be dropped."), true);
    }

    onCurrentTabChanged: applyVaultPrompt()
    Component.onCompleted: Qt.callLater(applyVaultPrompt)

    FileModel {
        id: files
    }

    VaultFlow {
        id: vault

        window: root
        passwordDialog: passwordDialog
        progressDialog: progressDialog
    }

    PackFlow {
        id: pack

        window: root
        passwordDialog: passwordDialog
        progressDialog: progressDialog
    }

    JobOutcomes {
        window: root
        onJobCancelled: toast.show(qsTr("Cancelled"))
    }

    UpdateOutcomes {
        window: root
        updateDialog: updateDialog
    }

    Connections {
        target: FileOpener

        function onFailed(message) {
            root.showMessage(message, true);
        }
    }

    TopBar {
        id: topBar

        width: parent.width
        currentTab: root.currentTab
        onTabClicked: root.currentTab = index
    }

    StackLayout {
        anchors.top: topBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        currentIndex: root.currentTab

        DesktopVaultPage {
            id: vaultPage

            objectName: "vaultPage"
            onOpenRequested: vault.openVaultItem(itemId, path, name, savedPassword)
            onImportRequested: vault.importRequested()
            onUnlockRequested: root.showAuthOverlay()
            onPasswordCopied: toast.show(qsTr("Password copied"))
        }

        PackPage {
            id: packPage

            objectName: "packPage"
            fileModel: files
            onPackRequested: pack.packRequested()
        }
    }

    MainMenuButton {
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: 10
        onPasswordManagerRequested: passwordManager.show()
        onUpdateCheckRequested: {
            root.manualUpdateCheck = true;
            Updater.check(true);
        }
        onAboutRequested: aboutWindow.show()
    }

    DropArea {
        id: dropArea

        anchors.fill: parent
        onEntered: function (drag) {
            overlay.visible = drag.hasUrls;
        }
        onExited: overlay.visible = false
        onDropped: function (drop) {
            overlay.visible = false;
            if (!drop.hasUrls)
                return;
            drop.accept(Qt.CopyAction);
            root.handleDrop(drop.urls);
        }
    }

    DropOverlay {
        id: overlay

        objectName: "dropOverlay"
        anchors.fill: parent
        visible: false
    }

    MasterPasswordOverlay {
        id: authOverlay

        objectName: "authOverlay"
        anchors.fill: parent
    }

    MessageDialog {
        id: messageDialog

        objectName: "messageDialog"
    }

    UpdateDialog {
        id: updateDialog

        objectName: "updateDialog"
    }

    Toast {
        id: toast

        objectName: "toast"
    }

    PasswordDialog {
        id: passwordDialog

        onAccepted: {
            if (forVault)
                vault.passwordAccepted();
            else if (isForPack)
                pack.passwordAccepted();
        }
        onRejected: vault.forgetPrompt()
    }

    ProgressDialog {
        id: progressDialog
    }

    PasswordManagerWindow {
        id: passwordManager
    }

    AboutWindow {
        id: aboutWindow
    }
}
