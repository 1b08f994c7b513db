import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// The Vault tab: the library's packages, their row menu, and the lock screen over them.
Item {
    id: page

    property int flashRow: -1

    signal openRequested(string itemId, string path, string name, string savedPassword)
    signal importRequested
    signal unlockRequested
    signal passwordCopied

    // Brings an existing row into view and tints it for a moment.
    function flash(itemId) {
        var row = Library.rowForId(itemId);
        if (row < 0)
            return;
        list.positionViewAtIndex(row, ListView.Contain);
        flashRow = row;
        flashTimer.restart();
    }

    Timer {
        id: flashTimer

        interval: 2200
        onTriggered: page.flashRow = -1
    }

    Column {
        anchors.centerIn: list
        spacing: 10
        visible: Library.count === 0

        LineIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "lock"
            size: 64
            strokeWidth: 1.5
            color: "#9ca3af"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Vault is empty")
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: "#1a1d23"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Drag a .cfr here to import & unlock, or click Import.")
            font.pixelSize: 13
            color: "#6b7280"
        }
    }

    ListView {
        id: list

        objectName: "vaultList"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: bottomBar.top
        clip: true
        model: Library
        visible: count > 0
        ScrollBar.vertical: ScrollBar {}

        delegate: VaultRow {
            width: list.width
            rowIndex: index
            itemId: model.itemId
            name: model.name
            path: model.path
            detail: model.size + "  •  " + model.date + "  •  "
                    + (model.imported ? qsTr("Imported") : qsTr("Local"))
            decrypted: model.decrypted
            savedPassword: model.savedPassword
            extraction: model.extraction
            flashing: index === page.flashRow
            onOpenRequested: page.openRequested(itemId, path, name, savedPassword)
            onMenuRequested: rowMenu.openFor(this)
        }
    }

    VaultRowMenu {
        id: rowMenu

        objectName: "rowMenu"
        onOpenRequested: page.openRequested(row.itemId, row.path, row.name, row.savedPassword)
        onPasswordCopied: page.passwordCopied()
    }

    Rectangle {
        id: bottomBar

        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 54
        color: "#ffffff"

        Rectangle {
            width: parent.width
            height: 1
            color: "#e2e6ea"
        }

        GlyphButton {
            objectName: "importButton"
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            glyph: "plus"
            text: qsTr("Import .cfr")
            frameColor: "#e2e6ea"
            onClicked: page.importRequested()
        }
    }

    LockScreen {
        anchors.fill: parent
        visible: !VaultAuth.unlocked
        onUnlockRequested: page.unlockRequested()
    }
}
