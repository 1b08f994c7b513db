import QtQuick 2.15
import QtQuick.Controls 2.15

// The three-bar button with the window's menu.
GlyphButton {
    id: button

    signal passwordManagerRequested
    signal updateCheckRequested
    signal aboutRequested

    objectName: "menuButton"
    glyph: "menu"
    glyphSize: 18
    onClicked: menu.popup(button, 0, -menu.implicitHeight)

    Menu {
        id: menu

        MenuItem {
            text: qsTr("Password Manager")
            onTriggered: button.passwordManagerRequested()
        }
        MenuItem {
            text: qsTr("Check for Updates")
            onTriggered: button.updateCheckRequested()
        }
        MenuItem {
            text: qsTr("About")
            onTriggered: button.aboutRequested()
        }
    }
}
