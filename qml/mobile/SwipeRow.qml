import QtQuick 2.15
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// A list row whose foreground slides sideways to bare Share (right) or Delete (left).
// A tap on an open row only closes it; the actions answer only once the row is fully open.
Item {
    id: row

    property bool shareEnabled: false
    property bool deleteEnabled: false
    property real offset: 0
    readonly property bool fullyOpen: Math.abs(offset) === Rules.actionWidth
    default property alias content: foreground.data

    signal tapped()
    signal held()
    signal shareRequested()
    signal deleteRequested()

    function close() {
        offset = 0;
    }

    height: Theme.rowH
    clip: true

    Behavior on offset {
        enabled: !gesture.dragging
        NumberAnimation {
            duration: 160
            easing.type: Easing.OutCubic
        }
    }

    RowAction {
        anchors.left: parent.left
        visible: row.offset > 0
        color: Theme.accent
        text: Str.share
        onTriggered: if (row.fullyOpen) {
            row.close();
            row.shareRequested();
        }
    }

    RowAction {
        anchors.right: parent.right
        visible: row.offset < 0
        color: Theme.danger
        text: Str.del
        onTriggered: if (row.fullyOpen) {
            row.close();
            row.deleteRequested();
        }
    }

    Rectangle {
        id: foreground

        x: row.offset
        width: row.width
        height: row.height
        color: Theme.card

        MouseArea {
            id: gesture

            property real startX: 0
            property real startOffset: 0
            property bool dragging: false
            // A drag ends in a release that Qt still reports as a click.
            property bool moved: false

            function rowX(mouse) {
                return mapToItem(row, mouse.x, mouse.y).x;
            }

            anchors.fill: parent
            z: 1
            preventStealing: dragging
            onPressed: {
                startX = rowX(mouse);
                startOffset = row.offset;
                dragging = false;
                moved = false;
            }
            onPositionChanged: {
                var dx = rowX(mouse) - startX;
                if (!dragging && Math.abs(dx) >= Qt.styleHints.startDragDistance)
                    dragging = row.shareEnabled || row.deleteEnabled;
                moved = moved || dragging;
                if (dragging)
                    row.offset = Rules.clampOffset(startOffset + dx, row.shareEnabled,
                                                   row.deleteEnabled);
            }
            onReleased: {
                if (!dragging)
                    return;
                dragging = false;
                row.offset = Rules.snapOffset(row.offset);
            }
            onCanceled: {
                dragging = false;
                row.offset = Rules.snapOffset(row.offset);
            }
            onClicked: {
                if (moved)
                    return;
                if (row.offset !== 0)
                    row.close();
                else
                    row.tapped();
            }
            onPressAndHold: if (!moved && row.offset === 0)
                row.held()
        }
    }

    Rectangle {
        anchors.left: parent.left
        anchors.leftMargin: Theme.margin + Theme.iconCol
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: Theme.separator
    }
}
