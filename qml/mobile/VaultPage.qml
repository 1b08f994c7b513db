import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The stack's first page: the packages of the vault, a search over them, and the way to
// make a new one.
Item {
    id: page

    property var actions

    NavBar {
        id: nav

        title: Str.vault

        CircleButton {
            objectName: "importButton"
            glyph: "download"
            onClicked: page.actions.pickForImport()
        }

        CircleButton {
            objectName: "settingsButton"
            glyph: "gear"
            onClicked: page.actions.showSettings()
        }
    }

    SearchField {
        id: search

        objectName: "searchField"
        anchors.top: nav.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: Theme.margin
        anchors.topMargin: 0
        visible: Library.count > 0
        placeholderText: Str.search
    }

    ListView {
        id: list

        objectName: "vaultList"
        anchors.top: search.visible ? search.bottom : nav.bottom
        anchors.topMargin: Theme.gapS
        anchors.bottom: newButton.top
        anchors.bottomMargin: Theme.gap
        width: parent.width
        clip: true
        model: Library
        delegate: PackageRow {
            width: list.width
            visible: Rules.matchesSearch(model.name, search.text)
            height: visible ? Theme.rowH : 0
            itemId: model.itemId
            name: model.name
            path: model.path
            date: model.date
            size: model.size
            imported: model.imported
            savedPassword: model.savedPassword
            onTapped: page.actions.openArchive(itemId, path, name)
            onHeld: page.actions.copySavedPassword(savedPassword)
            onShareRequested: FileOpener.shareFile(path)
            onDeleteRequested: page.actions.confirmDelete(itemId, name)
        }
    }

    Column {
        anchors.centerIn: list
        width: parent.width - 2 * Theme.margin
        visible: Library.count === 0
        spacing: Theme.gapS

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            source: "qrc:/Coffret/qml/logo.png"
            sourceSize: Qt.size(160, 160)
            width: 80
            height: 80
        }

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: Str.emptyTitle
            color: Theme.text
            font.pixelSize: Theme.fsRow
            font.weight: Font.DemiBold
        }

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: Str.emptyBody
            color: Theme.subtext
            font.pixelSize: Theme.fsSub
        }
    }

    TouchButton {
        id: newButton

        objectName: "newPackageButton"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Theme.margin
        text: Str.newPackage
        onClicked: page.actions.pickForPack()
    }
}
