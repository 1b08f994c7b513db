import QtQuick 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// One package of the vault: badge, name, and date · size · origin.
SwipeRow {
    id: row

    property string itemId
    property string name
    property string path
    property string date
    property string size
    property bool imported
    property string savedPassword

    shareEnabled: true
    deleteEnabled: true

    Row {
        anchors.fill: parent
        anchors.leftMargin: Theme.margin
        anchors.rightMargin: Theme.margin
        spacing: Theme.iconCol - badge.width

        FileBadge {
            id: badge

            anchors.verticalCenter: parent.verticalCenter
            kind: Rules.vaultBadge(row.name)
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - badge.width - parent.spacing
            spacing: 3

            Text {
                width: parent.width
                text: row.name
                elide: Text.ElideMiddle
                color: Theme.text
                font.pixelSize: Theme.fsRow
            }

            Text {
                width: parent.width
                text: row.date + "  ·  " + row.size + "  ·  "
                      + (row.imported ? Str.tagImported : Str.tagLocal)
                elide: Text.ElideRight
                color: Theme.subtext
                font.pixelSize: Theme.fsSub
            }
        }
    }
}
