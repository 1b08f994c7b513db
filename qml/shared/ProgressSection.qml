import QtQuick 2.15

// One captioned bar of the progress window: caption, percentage, bar.
Column {
    id: section

    property string caption: ""
    property real value: 0
    property color fillColor: "#5b7fe2"

    spacing: 8

    Item {
        width: parent.width
        height: 18

        Text {
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            text: section.caption
            font.pixelSize: 12
            font.weight: Font.DemiBold
            color: "#6b7280"
        }

        Text {
            objectName: "percentText"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: Math.round(section.value * 100) + "%"
            font.pixelSize: 12
            font.weight: Font.Medium
            color: "#5b7fe2"
        }
    }

    ThinBar {
        width: parent.width
        value: section.value
        fillColor: section.fillColor
    }
}
