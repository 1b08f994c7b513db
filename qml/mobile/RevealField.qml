import QtQuick 2.15
import QtQuick.Controls 2.15

// A password field with an eye that shows or hides what was typed.
SheetField {
    id: field

    property bool revealed: false

    echoMode: revealed ? TextInput.Normal : TextInput.Password
    rightPadding: Theme.gap + eye.width + Theme.gapS
    inputMethodHints: Qt.ImhHiddenText | Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
    placeholderText: Str.password

    AbstractButton {
        id: eye

        objectName: "revealButton"
        anchors.right: parent.right
        anchors.rightMargin: Theme.gapS
        anchors.verticalCenter: parent.verticalCenter
        width: 36
        height: 36
        onClicked: field.revealed = !field.revealed
        contentItem: Item {
            LineIcon {
                anchors.centerIn: parent
                name: field.revealed ? "eye" : "eye-off"
                color: Theme.subtext
                size: 20
            }
        }
        background: null
    }
}
