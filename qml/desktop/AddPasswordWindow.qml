import QtQuick 2.15
import QtQuick.Window 2.15
import Coffret 1.0
import "WindowRules.js" as WindowRules

// A new saved password: a name and the password typed twice.
Window {
    id: window

    function submit() {
        var problem = WindowRules.savedPasswordProblem(nameField.text, passwordField.text,
                                                       confirmField.text);
        var messages = {
            "name": qsTr("Input password name please!"),
            "password": qsTr("Input password please!"),
            "mismatch": qsTr("Password must be the same as confirm!")
        };
        if (problem.length > 0) {
            AppBackend.showMessageBox("", messages[problem], "warning");
            return;
        }
        if (UserData.addPassword(nameField.text, passwordField.text))
            hide();
    }

    objectName: "addPasswordWindow"
    title: qsTr("Add password")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 340
    height: content.implicitHeight + 48
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    onVisibleChanged: {
        if (!visible)
            return;
        nameField.text = "";
        passwordField.text = "";
        confirmField.text = "";
        nameField.forceActiveFocus();
    }

    Column {
        id: content

        x: 24
        y: 24
        width: parent.width - 48
        spacing: 8

        FieldLabel {
            text: qsTr("Password Name")
        }
        FramedField {
            id: nameField

            objectName: "nameField"
            width: parent.width
            onAccepted: window.submit()
        }
        FieldLabel {
            text: qsTr("Password")
        }
        PasswordField {
            id: passwordField

            objectName: "passwordField"
            width: parent.width
            onAccepted: window.submit()
        }
        FieldLabel {
            text: qsTr("Confirm Password")
        }
        PasswordField {
            id: confirmField

            objectName: "confirmField"
            width: parent.width
            onAccepted: window.submit()
        }
        Item {
            width: 1
            height: 6
        }
        FilledButton {
            objectName: "okButton"
            width: parent.width
            height: 40
            text: qsTr("OK")
            onClicked: window.submit()
        }
    }
}
