import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// Asks for a password: to protect a new archive (pack mode) or to open one (unlock mode).
Window {
    id: dialog

    // Pack mode when true, unlock mode when false.
    property bool isForPack: true
    // When true an empty password is accepted: the archive is then written without one.
    property bool passwordOptional: false
    // Written into the password field once, after the saved-password preselection.
    property string prefillPassword: ""
    property string archiveFile: ""
    property string destDir: ""
    property string promptName: ""
    // The result, valid when accepted() is emitted.
    property string enteredPassword: ""

    // The desktop window's vault context, consumed on acceptance by that window.
    property bool forVault: false
    property string vaultItemId: ""
    property string vaultPath: ""
    property string vaultBaseName: ""

    readonly property int contentMargin: 24
    readonly property int rowSpacing: 14
    readonly property int okTopMargin: 4
    readonly property int labelHeight: 20
    readonly property int inputHeight: 40
    readonly property int buttonHeight: 38
    readonly property int okHeight: 40

    property bool confirmShown: isForPack
    property bool copyShown: false

    // The height that fits the controls visible in the current state.
    readonly property int stateHeight: {
        var h = 2 * contentMargin + okHeight + okTopMargin;
        if (!isForPack)
            return h + 2 * labelHeight + 2 * inputHeight + 4 * rowSpacing;
        if (confirmShown)
            return h + 3 * labelHeight + 3 * inputHeight + buttonHeight + 7 * rowSpacing;
        return h + 2 * labelHeight + 2 * inputHeight + 2 * buttonHeight + 6 * rowSpacing;
    }

    signal accepted
    signal rejected

    objectName: "passwordDialog"
    title: qsTr("Password")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 360
    minimumWidth: 360
    maximumWidth: 360
    height: stateHeight

    function lockHeight() {
        maximumHeight = 16777215;
        minimumHeight = stateHeight;
        maximumHeight = stateHeight;
        height = stateHeight;
    }

    function savedCount() {
        return UserData.passwordModel ? UserData.passwordModel.count : 0;
    }

    function savedPassword(row) {
        return UserData.passwordModel ? UserData.passwordModel.passwordAt(row) : "";
    }

    function fillChoices() {
        var names = [];
        if (isForPack)
            names.push(qsTr("Random Password"));
        var count = savedCount();
        for (var i = 0; i < count; ++i)
            names.push(UserData.passwordModel.nameAt(i));
        choiceBox.model = names;
        choiceBox.currentIndex = -1;
    }

    function useRandomPassword() {
        var pw = AppBackend.generateRandomPassword();
        choiceBox.currentIndex = 0;
        passwordField.text = pw;
        confirmField.text = pw;
        confirmShown = false;
        copyShown = true;
        lockHeight();
    }

    function useSavedPassword(row) {
        var pw = savedPassword(row);
        passwordField.text = pw;
        if (isForPack)
            confirmField.text = pw;
        confirmShown = isForPack;
        copyShown = false;
        lockHeight();
    }

    function preselect() {
        var last = UserData.lastIndex;
        if (isForPack) {
            if (last === 0) {
                useRandomPassword();
            } else if (last > 0 && last < choiceBox.count) {
                choiceBox.currentIndex = last;
                useSavedPassword(last - 1);
            }
        } else if (last >= 1 && last <= choiceBox.count) {
            choiceBox.currentIndex = last - 1;
            useSavedPassword(last - 1);
        }
    }

    function prepare() {
        passwordField.text = "";
        confirmField.text = "";
        confirmShown = isForPack;
        copyShown = false;
        fillChoices();
        preselect();
        if (prefillPassword.length > 0) {
            passwordField.text = prefillPassword;
            prefillPassword = "";
        }
        passwordField.forceActiveFocus();
        lockHeight();
    }

    function chooseEntry(index) {
        if (isForPack && index === 0)
            useRandomPassword();
        else if (index >= 0)
            useSavedPassword(isForPack ? index - 1 : index);
    }

    function finish(password) {
        enteredPassword = password;
        accepted();
        hide();
    }

    function submit() {
        var pw = passwordField.text;
        var chosen = isForPack ? choiceBox.currentIndex : choiceBox.currentIndex + 1;
        if (pw.length === 0) {
            if (!passwordOptional) {
                AppBackend.showMessageBox("", qsTr("Input password please!"), "warning");
                return;
            }
            UserData.setLastIndex(chosen);
            finish("");
            return;
        }
        if (isForPack) {
            if (confirmField.text !== pw) {
                AppBackend.showMessageBox("", qsTr("Password must be the same as confirm!"),
                                          "warning");
                return;
            }
            if (choiceBox.currentIndex === 0)
                AppBackend.copyToClipboard(pw);
        }
        UserData.setLastIndex(chosen);
        finish(pw);
    }

    onVisibleChanged: {
        if (visible)
            prepare();
    }

    function dismiss() {
        hide();
        rejected();
    }

    onClosing: function (close) {
        close.accepted = false;
        dismiss();
    }


    Column {
        id: content

        x: dialog.contentMargin
        y: dialog.contentMargin
        width: dialog.width - 2 * dialog.contentMargin
        spacing: dialog.rowSpacing

        // Escape answers like the title bar's close button.
        Keys.onEscapePressed: dialog.dismiss()

        FieldLabel {
            width: parent.width
            text: qsTr("Choose saved password")
        }

        ComboBox {
            id: choiceBox

            objectName: "choiceBox"
            width: parent.width
            height: dialog.inputHeight
            onActivated: dialog.chooseEntry(index)
        }

        FieldLabel {
            width: parent.width
            objectName: "passwordLabel"
            elide: Text.ElideMiddle
            text: !dialog.isForPack && dialog.promptName.length > 0
                  ? qsTr("Password for \"%1\"").arg(dialog.promptName)
                  : qsTr("Password")
        }

        PasswordField {
            id: passwordField

            objectName: "passwordField"
            width: parent.width
            onAccepted: dialog.submit()
            // A hidden confirmation (random password in use) follows any edit, so the
            // user is never asked to match a field they cannot see.
            onTextEdited: {
                if (!dialog.confirmShown)
                    confirmField.text = text;
            }
        }

        FieldLabel {
            width: parent.width
            visible: dialog.confirmShown
            text: qsTr("Confirm")
        }

        PasswordField {
            id: confirmField

            objectName: "confirmField"
            width: parent.width
            visible: dialog.confirmShown
            onAccepted: dialog.submit()
        }

        FilledButton {
            objectName: "randomButton"
            width: parent.width
            height: dialog.buttonHeight
            visible: dialog.isForPack
            text: qsTr("Random Password")
            onClicked: dialog.useRandomPassword()
        }

        FilledButton {
            objectName: "copyButton"
            width: parent.width
            height: dialog.buttonHeight
            visible: dialog.copyShown
            text: qsTr("Copy Password")
            onClicked: {
                AppBackend.copyToClipboard(passwordField.text);
                AppBackend.showMessageBox("", qsTr("Password copied!"));
            }
        }

        Item {
            width: parent.width
            height: dialog.okHeight + dialog.okTopMargin

            FilledButton {
                objectName: "okButton"
                y: dialog.okTopMargin
                width: parent.width
                height: dialog.okHeight
                text: qsTr("OK")
                onClicked: dialog.submit()
            }
        }
    }
}
