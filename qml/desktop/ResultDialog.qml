import QtQuick 2.15
import QtQuick.Window 2.15

// Tells how a job ended; closing it (OK or the title bar) emits closed().
Window {
    id: dialog

    property string message: ""
    property bool isError: false

    signal closed

    objectName: "resultDialog"
    title: "Coffret"
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 380
    minimumWidth: 380
    maximumWidth: 380
    height: content.height

    function lockHeight() {
        var h = Math.round(content.height);
        maximumHeight = 16777215;
        minimumHeight = h;
        maximumHeight = h;
        height = h;
    }

    onMessageChanged: Qt.callLater(lockHeight)
    onVisibleChanged: {
        if (visible)
            Qt.callLater(lockHeight);
    }

    // The text may wrap differently once its fonts are resolved: fit that too.
    Connections {
        target: content

        function onHeightChanged() {
            if (dialog.visible)
                Qt.callLater(dialog.lockHeight);
        }
    }
    onClosing: function (close) {
        close.accepted = false;
        hide();
        closed();
    }

    Column {
        id: content

        width: dialog.width

        Item {
            width: parent.width
            height: Math.max(icon.height, messageText.implicitHeight) + 2 * 22

            Rectangle {
                id: icon

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
                x: icon.x + icon.width + 12
                y: 22 + Math.max(0, (icon.height - implicitHeight) / 2)
                width: parent.width - x - 22
                text: dialog.message
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: "#1a1d23"
            }
        }

        Rectangle {
            width: parent.width
            height: 1
            color: "#e2e6ea"
        }

        Item {
            width: parent.width
            height: okButton.height + 2 * 12

            FilledButton {
                id: okButton

                objectName: "okButton"
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.verticalCenter: parent.verticalCenter
                width: 88
                height: 34
                text: qsTr("OK")
                onClicked: {
                    dialog.hide();
                    dialog.closed();
                }
            }
        }
    }
}
