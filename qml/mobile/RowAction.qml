import QtQuick 2.15
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The coloured button a swiped row bares.
Rectangle {
    id: action

    property alias text: label.text

    signal triggered()

    width: Rules.actionWidth
    height: parent.height

    Text {
        id: label

        anchors.centerIn: parent
        color: Theme.accentFg
        font.pixelSize: Theme.fsSub
        font.weight: Font.DemiBold
    }

    MouseArea {
        anchors.fill: parent
        onClicked: action.triggered()
    }
}
