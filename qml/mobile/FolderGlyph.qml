import QtQuick 2.15

// A folder drawn in the theme's folder tint: a tab over a rounded body.
Item {
    width: 34
    height: 28

    Rectangle {
        width: 14
        height: 8
        radius: 3
        color: Theme.folderTint
        opacity: 0.75
    }

    Rectangle {
        y: 4
        width: parent.width
        height: parent.height - 4
        radius: 5
        color: Theme.folderTint
    }
}
