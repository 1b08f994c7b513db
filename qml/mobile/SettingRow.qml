import QtQuick 2.15
import QtQuick.Controls 2.15

// One row of a grouped settings card: a label, a value or check mark, and a tap.
AbstractButton {
    id: row

    property string value
    property bool chevron: false
    property color labelColor: Theme.text

    width: parent ? parent.width : implicitWidth
    implicitHeight: 50
    background: Rectangle {
        color: row.pressed ? Theme.fill : Theme.card
    }
    contentItem: Item {
        Text {
            anchors.left: parent.left
            anchors.leftMargin: Theme.gap
            anchors.verticalCenter: parent.verticalCenter
            text: row.text
            color: row.labelColor
            font.pixelSize: Theme.fsBody
        }

        Row {
            anchors.right: parent.right
            anchors.rightMargin: Theme.gap
            anchors.verticalCenter: parent.verticalCenter
            spacing: Theme.gapS

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: row.value
                color: Theme.subtext
                font.pixelSize: Theme.fsBody
            }

            LineIcon {
                objectName: "checkMark"
                anchors.verticalCenter: parent.verticalCenter
                visible: row.checked
                name: "check"
                color: Theme.accent
                size: 20
            }

            LineIcon {
                anchors.verticalCenter: parent.verticalCenter
                visible: row.chevron
                name: "chevron-right"
                color: Theme.faint
                size: 16
            }
        }
    }
}
