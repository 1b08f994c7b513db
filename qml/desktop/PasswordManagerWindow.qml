import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// The saved passwords: reorder, delete, add. Passwords themselves are never shown.
Window {
    id: manager

    property int selectedRow: -1
    readonly property int count: UserData.passwordModel ? UserData.passwordModel.count : 0

    function move(from, to) {
        UserData.movePassword(from, to);
        selectedRow = to;
    }

    objectName: "passwordManager"
    title: qsTr("Password Manager")
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 460
    height: 380
    minimumWidth: 380
    minimumHeight: 260

    onVisibleChanged: selectedRow = -1

    Rectangle {
        id: card

        anchors.fill: parent
        anchors.margins: 12
        anchors.bottomMargin: 58
        radius: 8
        border.color: "#e2e6ea"
        clip: true

        Row {
            id: header

            x: 1
            y: 1
            height: 32

            Repeater {
                model: [qsTr("Password Name"), qsTr("Password")]

                Text {
                    width: (card.width - 2) / 2
                    height: header.height
                    leftPadding: 12
                    verticalAlignment: Text.AlignVCenter
                    text: modelData
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: "#6b7280"
                }
            }
        }

        ListView {
            id: list

            objectName: "passwordList"
            anchors.top: header.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 1
            clip: true
            model: UserData.passwordModel

            delegate: Rectangle {
                width: list.width
                height: 32
                color: index === manager.selectedRow ? "#eef2ff"
                                                     : index % 2 ? "#f9fafb" : "#ffffff"

                Text {
                    width: parent.width / 2
                    height: parent.height
                    leftPadding: 12
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    text: model.passwordName
                    font.pixelSize: 13
                    color: "#1a1d23"
                }
                Text {
                    x: parent.width / 2
                    height: parent.height
                    leftPadding: 12
                    verticalAlignment: Text.AlignVCenter
                    text: "••••••"
                    font.pixelSize: 13
                    color: "#6b7280"
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: manager.selectedRow = index
                }
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 12
        spacing: 6

        GlyphButton {
            objectName: "upButton"
            glyph: "arrow-up"
            text: qsTr("Up")
            frameColor: "#e2e6ea"
            enabled: manager.selectedRow > 0
            onClicked: manager.move(manager.selectedRow, manager.selectedRow - 1)
        }
        GlyphButton {
            objectName: "downButton"
            glyph: "arrow-down"
            text: qsTr("Down")
            frameColor: "#e2e6ea"
            enabled: manager.selectedRow >= 0 && manager.selectedRow < manager.count - 1
            onClicked: manager.move(manager.selectedRow, manager.selectedRow + 1)
        }
        GlyphButton {
            glyph: "minus"
            text: qsTr("Delete")
            frameColor: "#e2e6ea"
            enabled: manager.selectedRow >= 0
            onClicked: {
                UserData.removePassword(manager.selectedRow);
                manager.selectedRow = -1;
            }
        }
        FilledButton {
            objectName: "addButton"
            height: 34
            width: Math.max(80, implicitWidth)
            text: qsTr("Add")
            onClicked: addWindow.show()
        }
    }

    AddPasswordWindow {
        id: addWindow
    }
}
