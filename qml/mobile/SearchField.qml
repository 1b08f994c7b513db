import QtQuick 2.15
import QtQuick.Controls 2.15

// The rounded, tinted search box above a list.
TextField {
    height: 38
    leftPadding: Theme.gap
    rightPadding: Theme.gap
    color: Theme.text
    placeholderTextColor: Theme.subtext
    font.pixelSize: Theme.fsBody
    selectByMouse: true
    inputMethodHints: Qt.ImhNoPredictiveText
    background: Rectangle {
        radius: Theme.radiusField
        color: Theme.fillSearch
    }
}
