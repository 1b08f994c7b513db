import QtQuick 2.15
import QtQuick.Controls 2.15

// A text field of the sheets, filled in the theme's field colour.
TextField {
    width: parent ? parent.width : implicitWidth
    height: Theme.btnH
    leftPadding: Theme.gap
    rightPadding: Theme.gap
    color: Theme.text
    placeholderTextColor: Theme.subtext
    font.pixelSize: Theme.fsBody
    selectByMouse: true
    background: Rectangle {
        radius: Theme.radiusField
        color: Theme.fill
        border.width: parent.activeFocus ? 1 : 0
        border.color: Theme.accent
    }
}
