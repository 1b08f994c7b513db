import QtQuick 2.15

// The chip in front of a file's name: our logo for packages, else a label on a colour.
Item {
    id: badge

    // What TouchRules.js badgeFor() answers.
    property var kind: ({ logo: true, label: "", color: "" })

    width: 40
    height: 40

    Image {
        anchors.fill: parent
        visible: badge.kind.logo
        source: visible ? "qrc:/Coffret/qml/logo.png" : ""
        sourceSize: Qt.size(80, 80)
        fillMode: Image.PreserveAspectFit
    }

    Rectangle {
        anchors.fill: parent
        visible: !badge.kind.logo
        radius: 8
        color: badge.kind.color || "transparent"

        Text {
            anchors.centerIn: parent
            text: badge.kind.label
            color: "#ffffff"
            font.pixelSize: 11
            font.weight: Font.Bold
        }
    }
}
