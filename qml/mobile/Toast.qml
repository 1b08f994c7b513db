import QtQuick 2.15
import QtQuick.Controls 2.15

// A short message that floats above the bottom edge and fades by itself.
Popup {
    id: toast

    property alias text: label.text

    function show(message) {
        text = message;
        open();
        timer.restart();
    }

    parent: Overlay.overlay
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? parent.height - height - 110 : 0
    width: Math.min(label.implicitWidth + 2 * padding, parent ? parent.width - 40 : 320)
    padding: 14
    closePolicy: Popup.NoAutoClose
    background: Rectangle {
        radius: height / 2
        color: Qt.rgba(0.1, 0.1, 0.12, 0.88)
    }
    contentItem: Text {
        id: label

        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        color: "#ffffff"
        font.pixelSize: 15
    }

    Timer {
        id: timer

        interval: 2200
        onTriggered: toast.close()
    }
}
