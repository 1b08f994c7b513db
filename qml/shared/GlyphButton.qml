import QtQuick 2.15
import QtQuick.Controls 2.15

// A flat button with a line glyph and an optional label; tinted while hovered.
AbstractButton {
    id: button

    property string glyph: ""
    property color textColor: "#1a1d23"
    property color hoverColor: "#f5f7fa"
    property color frameColor: "transparent"
    property real glyphSize: 16

    implicitHeight: 34
    implicitWidth: row.implicitWidth + (text.length > 0 ? 32 : 18)
    hoverEnabled: true
    font.pixelSize: 13
    opacity: enabled ? 1 : 0.45

    contentItem: Item {
        Row {
            id: row

            anchors.centerIn: parent
            spacing: 6

            LineIcon {
                anchors.verticalCenter: parent.verticalCenter
                visible: button.glyph.length > 0
                name: button.glyph
                size: button.glyphSize
                color: button.enabled ? button.textColor : "#9ca3af"
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                visible: button.text.length > 0
                text: button.text
                font: button.font
                color: button.enabled ? button.textColor : "#9ca3af"
            }
        }
    }
    background: Rectangle {
        radius: 8
        color: button.hovered || button.down ? button.hoverColor : "transparent"
        border.width: 1
        border.color: button.frameColor
    }
}
