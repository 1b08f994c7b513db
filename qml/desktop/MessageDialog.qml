import QtQuick 2.15
import QtQuick.Controls 2.15

// The window's own message: an error or a success, with one OK button.
Popup {
    id: dialog

    property string text: ""
    property bool isError: false

    function show(message, error) {
        text = message;
        isError = error;
        open();
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 380
    modal: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    padding: 0
    background: Rectangle {
        radius: 12
        color: "#ffffff"
    }

    contentItem: Column {
        Item {
            width: dialog.width
            height: Math.max(30, messageText.implicitHeight) + 44

            Rectangle {
                id: badge

                x: 22
                y: 22
                width: 30
                height: 30
                radius: 15
                color: dialog.isError ? "#fdecec" : "#eaf6ee"

                LineIcon {
                    anchors.centerIn: parent
                    name: dialog.isError ? "x" : "check"
                    color: dialog.isError ? "#e05656" : "#52c47e"
                    size: 17
                    strokeWidth: 2.4
                }
            }

            Text {
                id: messageText

                objectName: "messageText"
                x: badge.x + badge.width + 12
                y: 22 + Math.max(0, (badge.height - implicitHeight) / 2)
                width: parent.width - x - 22
                text: dialog.text
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: "#1a1d23"
            }
        }

        Rectangle {
            width: dialog.width
            height: 1
            color: "#e2e6ea"
        }

        Item {
            width: dialog.width
            height: 58

            FilledButton {
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                width: 88
                height: 34
                text: qsTr("OK")
                onClicked: dialog.close()
            }
        }
    }
}
