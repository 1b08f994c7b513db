import QtQuick 2.15

// A short note centred on its parent: fades in, stays a moment, fades out.
Rectangle {
    id: toast

    property alias text: label.text

    anchors.centerIn: parent
    width: label.implicitWidth + 36
    height: label.implicitHeight + 20
    radius: height / 2
    color: "#e61a1d23"
    opacity: 0
    visible: opacity > 0
    z: 100

    function show(message) {
        label.text = message;
        fade.restart();
    }

    Text {
        id: label

        anchors.centerIn: parent
        color: "#ffffff"
        font.pixelSize: 14
    }

    SequentialAnimation {
        id: fade

        NumberAnimation {
            target: toast
            property: "opacity"
            to: 1
            duration: 120
        }
        PauseAnimation {
            duration: 1400
        }
        NumberAnimation {
            target: toast
            property: "opacity"
            to: 0
            duration: 250
        }
    }
}
