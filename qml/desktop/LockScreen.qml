import QtQuick 2.15
import Coffret 1.0

// Covers the vault while it is locked; its button asks for the master password.
Rectangle {
    id: screen

    signal unlockRequested

    color: "#f0f2f5"

    // Nothing behind the lock screen can be clicked.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    Column {
        anchors.centerIn: parent
        spacing: 12

        LineIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "lock"
            size: 56
            strokeWidth: 1.6
            color: "#5b7fe2"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Vault is locked")
            font.pixelSize: 18
            font.weight: Font.DemiBold
            color: "#1a1d23"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: VaultAuth.hasMasterPassword ? qsTr("Enter your master password to open the vault.")
                                              : qsTr("Set a master password to protect the vault.")
            font.pixelSize: 13
            color: "#6b7280"
        }

        FilledButton {
            objectName: "unlockButton"
            anchors.horizontalCenter: parent.horizontalCenter
            height: 38
            width: Math.max(160, implicitWidth + 24)
            text: VaultAuth.hasMasterPassword ? qsTr("Unlock vault") : qsTr("Set master password")
            onClicked: screen.unlockRequested()
        }
    }
}
