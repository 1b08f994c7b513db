import QtQuick 2.15
import QtQuick.Controls 2.15

// A text input in a white rounded frame that turns accent-coloured while focused.
TextField {
    id: field

    height: 40
    selectByMouse: true
    leftPadding: 12
    rightPadding: 12
    font.pixelSize: 14
    color: "#1a1d23"
    placeholderTextColor: "#9ca3af"
    background: Rectangle {
        radius: 8
        color: "#ffffff"
        border.width: field.activeFocus ? 2 : 1
        border.color: field.activeFocus ? "#5b7fe2" : "#e2e6ea"
    }
}
