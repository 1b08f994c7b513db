import QtQuick 2.15
import QtQuick.Controls 2.15

// Asks before something is deleted for good; the action given runs only on Delete.
Popup {
    id: dialog

    property string message
    property var onYes: null

    function ask(text, action) {
        message = text;
        onYes = action;
        open();
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(300, parent ? parent.width - 2 * Theme.margin : 300)
    modal: true
    padding: Theme.margin
    background: Rectangle {
        color: Theme.card
        radius: Theme.radiusCard
    }
    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.35)
    }

    contentItem: Column {
        spacing: Theme.gap

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: Str.deleteQ
            color: Theme.text
            font.pixelSize: Theme.fsNav
            font.weight: Font.DemiBold
        }

        Text {
            objectName: "confirmMessage"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: dialog.message
            color: Theme.subtext
            font.pixelSize: Theme.fsSub
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Theme.margin * 2

            TextLink {
                objectName: "cancelDeleteButton"
                text: Str.cancel
                onClicked: dialog.close()
            }

            TextLink {
                objectName: "confirmDeleteButton"
                text: Str.del
                tint: Theme.danger
                onClicked: {
                    var action = dialog.onYes;
                    dialog.close();
                    if (action)
                        action();
                }
            }
        }
    }
}
