import QtQuick 2.15
import QtQuick.Controls 2.15

// A plain accent-coloured text that acts as a button.
AbstractButton {
    id: link

    property color tint: Theme.accent

    implicitWidth: label.implicitWidth
    implicitHeight: 36
    contentItem: Text {
        id: label

        text: link.text
        verticalAlignment: Text.AlignVCenter
        color: link.pressed ? Qt.darker(link.tint, 1.3) : link.tint
        font.pixelSize: Theme.fsBody
    }
    background: null
}
