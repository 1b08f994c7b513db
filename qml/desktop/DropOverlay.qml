import QtQuick 2.15

// Shown while files are dragged over the window.
Rectangle {
    color: "#305b7fe2"

    Column {
        anchors.centerIn: parent
        spacing: 6

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "\u2193"
            font.pixelSize: 48
            color: "#5b7fe2"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Drop files here")
            font.pixelSize: 18
            font.weight: Font.DemiBold
            color: "#5b7fe2"
        }
    }
}
