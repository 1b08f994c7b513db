import QtQuick 2.15

// The two tabs across the top of the window.
Rectangle {
    id: bar

    property int currentTab: 0

    signal tabClicked(int index)

    height: 44
    color: "#ffffff"

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        Repeater {
            model: [{"glyph": "lock", "label": qsTr("Vault")},
                    {"glyph": "package", "label": qsTr("Pack")}]

            GlyphButton {
                objectName: "tab" + index
                glyph: modelData.glyph
                text: modelData.label
                font.pixelSize: 14
                textColor: bar.currentTab === index ? "#5b7fe2" : "#1a1d23"
                background: Rectangle {
                    radius: 8
                    color: bar.currentTab === index ? "#eef2ff"
                                                    : parent.hovered ? "#f5f7fa" : "transparent"
                }
                onClicked: bar.tabClicked(index)
            }
        }
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: "#e2e6ea"
    }
}
