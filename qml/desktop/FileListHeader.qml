import QtQuick 2.15

// The Pack list's column captions; the name and size columns can be dragged wider.
Rectangle {
    id: header

    property real nameWidth: 280
    property real sizeWidth: 90
    property real kindWidth: 80

    signal nameWidthDragged(real width)
    signal sizeWidthDragged(real width)

    height: 34
    color: "#f5f7fa"

    component Caption: Text {
        height: parent.height
        leftPadding: 12
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.pixelSize: 12
        font.weight: Font.DemiBold
        color: "#6b7280"
    }

    // A grip on a column edge; reports how far it was dragged since the last report.
    component Grip: MouseArea {
        property real pressX: 0

        signal dragged(real delta)

        width: 8
        height: parent.height
        cursorShape: Qt.SplitHCursor
        onPressed: function (mouse) {
            pressX = mouse.x;
        }
        onPositionChanged: function (mouse) {
            dragged(mouse.x - pressX);
        }
    }

    Row {
        anchors.fill: parent

        Caption {
            width: header.nameWidth
            text: qsTr("File Name")
        }
        Caption {
            width: header.width - header.nameWidth - header.sizeWidth - header.kindWidth
            text: qsTr("Path")
        }
        Caption {
            width: header.sizeWidth
            text: qsTr("Size")
        }
        Caption {
            width: header.kindWidth
            text: qsTr("Kind")
        }
    }

    Grip {
        objectName: "nameGrip"
        x: header.nameWidth - width / 2
        onDragged: header.nameWidthDragged(header.nameWidth + delta)
    }

    // Dragging the size column's left edge leftwards widens it at the path's expense.
    Grip {
        objectName: "sizeGrip"
        x: header.width - header.kindWidth - header.sizeWidth - width / 2
        onDragged: header.sizeWidthDragged(header.sizeWidth - delta)
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: "#e2e6ea"
    }
}
