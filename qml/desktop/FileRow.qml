import QtQuick 2.15

// One entry of the Pack list.
Rectangle {
    id: row

    property int rowIndex: 0
    property bool selected: false
    property real nameWidth: 280
    property real sizeWidth: 90
    property real kindWidth: 80

    signal clicked

    height: 32
    color: selected ? "#eef2ff" : mouse.containsMouse ? "#f5f7fa"
                                                      : rowIndex % 2 ? "#f9fafb" : "#ffffff"

    component Cell: Text {
        height: row.height
        leftPadding: 12
        rightPadding: 4
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.pixelSize: 13
        color: "#1a1d23"
    }

    Row {
        anchors.fill: parent

        Cell {
            width: row.nameWidth
            text: model.fileName
        }
        Cell {
            width: row.width - row.nameWidth - row.sizeWidth - row.kindWidth
            text: model.filePath
            elide: Text.ElideMiddle
            color: "#6b7280"
        }
        Cell {
            width: row.sizeWidth
            text: model.fileSize
        }
        Cell {
            width: row.kindWidth
            text: model.fileKind
            color: "#6b7280"
        }
    }

    MouseArea {
        id: mouse

        anchors.fill: parent
        hoverEnabled: true
        onClicked: row.clicked()
    }
}
