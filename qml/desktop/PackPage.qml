import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "WindowRules.js" as WindowRules

// The Pack tab: the list of files and folders to pack, its buttons, the format and Pack.
Item {
    id: page

    property var fileModel
    property int selectedRow: -1
    property real colNameW: 280
    property real colSizeW: 90
    property real colKindW: 80

    // Labels double as the save dialog's filter, so they stay as written.
    readonly property var formats: [
        {"label": "Coffret (*.cfr)", "ext": ".cfr"},
        {"label": "Zip (*.zip)", "ext": ".zip"},
        {"label": "7-Zip (*.7z)", "ext": ".7z"},
        {"label": "Tar (*.tar)", "ext": ".tar"},
        {"label": "Tar + gzip (*.tar.gz)", "ext": ".tar.gz"},
        {"label": "Tar + bzip2 (*.tar.bz2)", "ext": ".tar.bz2"},
        {"label": "Tar + xz (*.tar.xz)", "ext": ".tar.xz"},
        {"label": "Gzip (*.gz)", "ext": ".gz"}
    ]
    property int formatIndex: 0
    readonly property string formatExt: formats[formatIndex].ext
    readonly property string formatLabel: formats[formatIndex].label
    property bool encrypt: false
    readonly property bool encryptOptional: WindowRules.encryptOptional(
                                                PackController.formatCanEncrypt("a" + formatExt),
                                                PackController.formatRequiresPassword("a" + formatExt))

    signal packRequested

    Rectangle {
        id: card

        anchors.fill: parent
        anchors.margins: 12
        anchors.bottomMargin: 62
        radius: 10
        color: "#ffffff"
        border.color: "#e2e6ea"
        clip: true

        FileListHeader {
            id: header

            x: 1
            width: parent.width - 2
            nameWidth: page.colNameW
            sizeWidth: page.colSizeW
            kindWidth: page.colKindW
            onNameWidthDragged: page.colNameW = Math.max(120, Math.min(600, width))
            onSizeWidthDragged: page.colSizeW = Math.max(60, Math.min(200, width))
        }

        ListView {
            id: list

            objectName: "fileList"
            anchors.top: header.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 1
            clip: true
            model: page.fileModel
            ScrollBar.vertical: ScrollBar {}

            delegate: FileRow {
                width: list.width
                rowIndex: index
                selected: index === page.selectedRow
                nameWidth: page.colNameW
                sizeWidth: page.colSizeW
                kindWidth: page.colKindW
                onClicked: page.selectedRow = index
            }
        }

        Column {
            anchors.centerIn: list
            spacing: 8
            visible: list.count === 0

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "\u{1F4C2}"
                font.pixelSize: 44
            }

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("No files added yet")
                font.pixelSize: 16
                font.weight: Font.DemiBold
                color: "#1a1d23"
            }

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Drag & drop files here, or use the buttons below")
                font.pixelSize: 13
                color: "#6b7280"
            }
        }
    }

    PackToolbar {
        anchors.left: parent.left
        anchors.leftMargin: 58
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 14
        owner: page
    }
}
