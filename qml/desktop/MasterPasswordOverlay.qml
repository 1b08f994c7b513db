import QtQuick 2.15
import Coffret 1.0
import "WindowRules.js" as WindowRules

// Asks for the master password over the whole window: to set it (setup) or to unlock.
Rectangle {
    id: overlay

    property bool setup: false
    property string error: ""

    function open(createMode) {
        firstField.text = "";
        confirmField.text = "";
        error = "";
        setup = createMode;
        visible = true;
        firstField.forceActiveFocus();
    }

    function submit() {
        if (setup) {
            var problem = WindowRules.masterPasswordProblem(firstField.text, confirmField.text);
            if (problem === "empty")
                error = qsTr("Please enter a master password.");
            else if (problem === "mismatch")
                error = qsTr("The two passwords do not match.");
            else if (VaultAuth.setMasterPassword(firstField.text))
                visible = false;
        } else if (VaultAuth.unlock(firstField.text)) {
            visible = false;
        } else {
            error = qsTr("Incorrect master password.");
        }
    }

    visible: false
    color: "#66000000"

    // Modal: clicks never reach the window behind.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
    }

    Keys.onEscapePressed: visible = false

    Rectangle {
        anchors.centerIn: parent
        width: 380
        height: content.implicitHeight + 48
        radius: 12
        color: "#ffffff"

        Column {
            id: content

            x: 24
            y: 24
            width: parent.width - 48
            spacing: 12

            Text {
                text: overlay.setup ? qsTr("Set master password") : qsTr("Unlock vault")
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: "#1a1d23"
            }

            Text {
                width: parent.width
                wrapMode: Text.Wrap
                text: overlay.setup
                      ? qsTr("This password protects your vault on this computer. Don't forget it — it cannot be recovered.")
                      : qsTr("Enter your master password to open the vault.")
                font.pixelSize: 13
                color: "#6b7280"
            }

            PasswordField {
                id: firstField

                objectName: "masterField"
                width: parent.width
                placeholderText: qsTr("Master password")
                onAccepted: overlay.submit()
            }

            PasswordField {
                id: confirmField

                objectName: "masterConfirmField"
                width: parent.width
                visible: overlay.setup
                placeholderText: qsTr("Confirm master password")
                onAccepted: overlay.submit()
            }

            Text {
                objectName: "authErrorText"
                width: parent.width
                visible: overlay.error.length > 0
                text: overlay.error
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: "#e05656"
            }

            Row {
                anchors.right: parent.right
                spacing: 8

                GlyphButton {
                    text: qsTr("Cancel")
                    frameColor: "#e2e6ea"
                    onClicked: overlay.visible = false
                }

                FilledButton {
                    objectName: "authSubmitButton"
                    height: 34
                    width: Math.max(88, implicitWidth)
                    text: overlay.setup ? qsTr("Set") : qsTr("Unlock")
                    onClicked: overlay.submit()
                }
            }
        }
    }
}
