import QtQuick 2.15
import QtQuick.Controls 2.15

// A form that rises from the bottom edge over a dimmed page, with a title and a close cross.
Popup {
    id: sheet

    property string title
    default property alias body: column.data

    parent: Overlay.overlay
    width: parent ? parent.width : 0
    y: parent ? parent.height - implicitHeight : 0
    modal: true
    focus: true
    padding: Theme.margin
    topPadding: Theme.gapS
    bottomPadding: Theme.margin + Theme.gapS

    // Fades rather than slides: an animated y would cut its binding to the sheet's height,
    // which grows as the rows inside it appear.
    enter: Transition {
        NumberAnimation {
            property: "opacity"
            from: 0
            to: 1
            duration: 150
        }
    }
    exit: Transition {
        NumberAnimation {
            property: "opacity"
            to: 0
            duration: 120
        }
    }

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.35)
    }

    background: Rectangle {
        color: Theme.card
        radius: Theme.radiusCard * 1.5

        // Square off the lower corners: only the top of a sheet is rounded.
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: parent.radius
            color: parent.color
        }
    }

    contentItem: Column {
        spacing: Theme.gap

        Item {
            width: parent.width
            height: Theme.navH

            Text {
                anchors.centerIn: parent
                width: parent.width - 2 * closeButton.width - Theme.gap
                horizontalAlignment: Text.AlignHCenter
                text: sheet.title
                elide: Text.ElideMiddle
                color: Theme.text
                font.pixelSize: Theme.fsNav
                font.weight: Font.DemiBold
            }

            CircleButton {
                id: closeButton

                objectName: "sheetCloseButton"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                glyph: "x"
                onClicked: sheet.close()
            }
        }

        Column {
            id: column

            width: parent.width
            spacing: Theme.gap
        }
    }
}
