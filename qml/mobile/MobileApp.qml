import QtQuick 2.15
import QtQuick.Window 2.15
import Coffret 1.0

// The touch interface's root window.
Window {
    id: root

    objectName: "mobileWindow"

    width: 390
    height: 844
    visible: true
    title: Str ? Str.appName : "Coffret"
    color: Theme ? Theme.bg : "#ffffff"

    Component.onCompleted: {
        UserData.load();
        Library.refresh();
    }
    Component.onDestruction: UserData.save()

    Column {
        anchors.centerIn: parent
        spacing: Theme ? Theme.gapS : 8

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: "qrc:/Coffret/qml/logo.png"
            width: 96
            height: 96
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Str ? Str.vault : ""
            font.pixelSize: Theme ? Theme.fsLarge : 30
            font.weight: Font.Bold
            color: Theme ? Theme.text : "#000000"
        }
    }
}
