import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// The password of a locked package before it is extracted; a failed try stays open with
// the wrong-password line.
BottomSheet {
    id: sheet

    property string itemId
    property string path
    property string name
    property alias error: errorLine.text

    signal confirmed(string itemId, string path, string name, string password)

    function openFor(id, archivePath, archiveName) {
        itemId = id;
        path = archivePath;
        name = archiveName;
        field.text = "";
        field.revealed = false;
        error = "";
        open();
    }

    title: Str.unlockExtract

    Row {
        width: parent.width
        spacing: Theme.gapS

        LineIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: "lock"
            color: Theme.accent
            size: 22
        }

        Text {
            objectName: "archiveName"
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - 30
            text: sheet.name
            elide: Text.ElideMiddle
            color: Theme.text
            font.pixelSize: Theme.fsBody
        }
    }

    RevealField {
        id: field

        objectName: "unlockPasswordField"
        onTextChanged: sheet.error = ""
        onAccepted: unlock.clicked()
    }

    TextLink {
        objectName: "unlockUseSaved"
        visible: UserData.passwordModel.count > 0
        text: Str.useSaved
        onClicked: picker.open()
    }

    Text {
        id: errorLine

        objectName: "unlockError"
        width: parent.width
        visible: text.length > 0
        wrapMode: Text.Wrap
        color: Theme.danger
        font.pixelSize: Theme.fsSub
    }

    TouchButton {
        id: unlock

        objectName: "unlockButton"
        width: parent.width
        text: Str.unlockExtract
        onClicked: sheet.confirmed(sheet.itemId, sheet.path, sheet.name, field.text)
    }

    PasswordPicker {
        id: picker

        objectName: "unlockPicker"

        onChosen: field.text = password
    }
}
