import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// An extracted package: its folders first, then its files, which open in their own
// programs. Back climbs towards the opened folder and leaves only from there.
TouchPage {
    id: page

    property alias rootFolder: listing.rootFolder

    title: listing.folder.slice(listing.folder.lastIndexOf("/") + 1)
    popsOnBack: false
    onBackRequested: if (!listing.up())
        StackView.view.pop()

    FolderListing {
        id: listing
    }

    Rectangle {
        id: banner

        objectName: "notProtectedBanner"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: Theme.margin
        anchors.topMargin: 0
        height: 44
        radius: Theme.radiusField
        color: Qt.rgba(Theme.danger.r, Theme.danger.g, Theme.danger.b, 0.12)

        Row {
            anchors.centerIn: parent
            spacing: Theme.gapS

            LineIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: "shield"
                color: Theme.danger
                size: 18
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: Str.notProtected
                color: Theme.danger
                font.pixelSize: Theme.fsSub
                font.weight: Font.DemiBold
            }
        }
    }

    ListView {
        id: list

        objectName: "folderList"
        anchors.top: banner.bottom
        anchors.topMargin: Theme.gapS
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        model: listing
        delegate: SwipeRow {
            width: list.width
            shareEnabled: !model.isDirectory
            onTapped: {
                if (model.isDirectory)
                    listing.enter(model.fileName);
                else
                    FileOpener.openExternally(model.filePath);
            }
            onShareRequested: FileOpener.shareFile(model.filePath)

            Row {
                anchors.fill: parent
                anchors.leftMargin: Theme.margin
                spacing: Theme.iconCol - 40

                Item {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 40
                    height: 40

                    FolderGlyph {
                        anchors.centerIn: parent
                        visible: model.isDirectory
                    }

                    FileBadge {
                        visible: !model.isDirectory
                        kind: Rules.badgeFor(Rules.extensionOf(model.fileName))
                    }
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - Theme.iconCol - sizeText.width - Theme.margin
                    text: model.fileName
                    elide: Text.ElideMiddle
                    color: Theme.text
                    font.pixelSize: Theme.fsRow
                }

                Text {
                    id: sizeText

                    anchors.verticalCenter: parent.verticalCenter
                    text: model.fileSize
                    color: Theme.subtext
                    font.pixelSize: Theme.fsSub
                }
            }
        }
    }

    Text {
        objectName: "unreadableLine"
        anchors.centerIn: list
        width: parent.width - 2 * Theme.margin
        visible: !listing.readable
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        text: Str.folderUnreadable
        color: Theme.subtext
        font.pixelSize: Theme.fsBody
    }
}
