import QtQuick 2.15
import QtQuick.Window 2.15

// The program's name and version.
Window {
    title: qsTr("About Coffret")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 300
    height: 220
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    Column {
        anchors.centerIn: parent
        spacing: 10

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: "qrc:/icon/MAIN"
            width: 72
            height: 72
            sourceSize: Qt.size(144, 144)
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Coffret"
            font.pixelSize: 20
            font.weight: Font.DemiBold
            color: "#1a1d23"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Version ") + Qt.application.version
            font.pixelSize: 13
            color: "#6b7280"
        }
    }
}
