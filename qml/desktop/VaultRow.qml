import QtQuick 2.15

// One package of the vault: lock state, name, size, date and origin.
Rectangle {
    id: row

    property int rowIndex: 0
    property string itemId: ""
    property string name: ""
    property string path: ""
    property string detail: ""
    property bool decrypted: false
    property string savedPassword: ""
    property string extraction: ""
    property bool flashing: false
    readonly property bool hasExtraction: extraction.length > 0
    readonly property bool hasPassword: savedPassword.length > 0

    signal openRequested
    signal menuRequested

    height: 56
    color: flashing ? "#fff3cd" : mouse.containsMouse ? "#f5f7fa"
                                                     : rowIndex % 2 ? "#f9fafb" : "#ffffff"

    MouseArea {
        id: mouse

        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onDoubleClicked: function (event) {
            if (event.button === Qt.LeftButton)
                row.openRequested();
        }
        onClicked: function (event) {
            if (event.button === Qt.RightButton)
                row.menuRequested();
        }
    }

    LineIcon {
        id: glyph

        anchors.left: parent.left
        anchors.leftMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        name: row.decrypted ? "unlock" : "lock"
        color: row.decrypted ? "#52c47e" : "#5b7fe2"
        size: 22
    }

    Column {
        anchors.left: glyph.right
        anchors.leftMargin: 14
        anchors.right: menuButton.left
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 3

        Text {
            width: parent.width
            text: row.name
            elide: Text.ElideMiddle
            font.pixelSize: 14
            font.weight: Font.Medium
            color: "#1a1d23"
        }

        Text {
            width: parent.width
            text: row.detail
            elide: Text.ElideRight
            font.pixelSize: 12
            color: "#6b7280"
        }
    }

    GlyphButton {
        id: menuButton

        objectName: "rowMenuButton"
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        glyph: "ellipsis-v"
        onClicked: row.menuRequested()
    }
}
