import QtQuick 2.15

// A rounded card of settings rows under an optional caption.
Column {
    property string caption
    default property alias rows: card.data

    width: parent ? parent.width : implicitWidth
    spacing: Theme.gapS

    Text {
        x: Theme.gap
        visible: text.length > 0
        text: parent.caption
        color: Theme.subtext
        font.pixelSize: Theme.fsCaption
    }

    Rectangle {
        width: parent.width
        height: card.height
        radius: Theme.radiusCard
        color: Theme.card
        clip: true

        Column {
            id: card

            width: parent.width
        }
    }
}
