import QtQuick 2.15
import QtQuick.Controls 2.15

// A round, tinted button that shows one glyph.
AbstractButton {
    id: button

    property string glyph

    implicitWidth: 36
    implicitHeight: 36
    background: Rectangle {
        radius: width / 2
        color: button.pressed ? Theme.faint : Theme.fill
    }
    contentItem: Item {
        LineIcon {
            anchors.centerIn: parent
            name: button.glyph
            color: Theme.accent
            size: 20
        }
    }
}
