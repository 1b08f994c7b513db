import QtQuick 2.15
import QtQuick.Controls 2.15

// The primary button of the standalone windows: solid accent colour, darker while hovered.
Button {
    id: button

    property color baseColor: "#5b7fe2"
    property color hoverColor: "#4a6bd4"
    property int radius: 8

    hoverEnabled: true
    font.pixelSize: 14
    font.weight: Font.Medium

    contentItem: Text {
        text: button.text
        font: button.font
        color: "#ffffff"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: button.radius
        color: button.hovered ? button.hoverColor : button.baseColor
        opacity: button.enabled ? 1 : 0.5
    }
}
