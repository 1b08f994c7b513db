import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// The saved passwords: tap shows one, a left swipe deletes it, the plus adds one.
TouchPage {
    id: page

    property var actions

    title: Str.passwords
    navButtons: CircleButton {
        objectName: "addPasswordButton"
        glyph: "plus"
        onClicked: addSheet.openEmpty()
    }

    ListView {
        id: list

        objectName: "passwordList"
        anchors.top: parent.top
        anchors.bottom: status.top
        width: parent.width
        clip: true
        model: UserData.passwordModel
        delegate: SwipeRow {
            id: passwordRow

            property bool shown: false

            width: list.width
            deleteEnabled: true
            onTapped: shown = !shown
            onDeleteRequested: {
                var row = model.passwordIndex;
                page.actions.confirm(Str.confirmDelete.arg(model.passwordName),
                                     function () { UserData.removePassword(row); });
            }

            Column {
                anchors.left: parent.left
                anchors.leftMargin: Theme.margin
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3

                Text {
                    text: model.passwordName
                    color: Theme.text
                    font.pixelSize: Theme.fsRow
                }

                Text {
                    objectName: "passwordText"
                    text: passwordRow.shown ? model.password : "\u2022".repeat(8)
                    color: Theme.subtext
                    font.pixelSize: Theme.fsSub
                }
            }
        }
    }

    Text {
        anchors.centerIn: list
        visible: list.count === 0
        text: Str.noPasswords
        color: Theme.subtext
        font.pixelSize: Theme.fsBody
    }

    Text {
        id: status

        objectName: "storageStatus"
        anchors.bottom: parent.bottom
        anchors.margins: Theme.margin
        x: Theme.margin
        width: parent.width - 2 * Theme.margin
        wrapMode: Text.WrapAnywhere
        // Read again whenever the list changes: the file's size and count move with it.
        text: UserData.passwordModel.count >= 0 ? UserData.storageStatus() : ""
        color: Theme.faint
        font.pixelSize: Theme.fsCaption
    }

    AddPasswordSheet {
        id: addSheet

        objectName: "addPasswordSheet"
    }
}
