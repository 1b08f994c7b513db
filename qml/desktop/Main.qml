import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import Coffret 1.0

// The desktop main window.
Window {
    id: root

    objectName: "mainWindow"

    width: 860
    height: 520
    minimumWidth: 640
    minimumHeight: 400
    visible: true
    title: "Coffret"
    color: "#f0f2f5"

    Material.theme: Material.Light
    Material.accent: "#5b7fe2"

    Component.onCompleted: {
        AppBackend.mainWindow = root;
        UserData.load();
        Library.load();
    }
    Component.onDestruction: UserData.save()

    MainWindow {
        objectName: "mainView"
        anchors.fill: parent
    }
}
