import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// Offers a newer version; while its installer downloads, shows how far it has come.
Popup {
    id: dialog

    property string versionName: ""
    property string notes: ""
    property string url: ""
    property bool downloading: false
    property real fraction: 0

    function present(version, releaseNotes, address) {
        versionName = version;
        notes = releaseNotes;
        url = address;
        downloading = false;
        fraction = 0;
        open();
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 420
    modal: true
    closePolicy: Popup.CloseOnEscape
    padding: 22
    background: Rectangle {
        radius: 12
        color: "#ffffff"
    }

    Connections {
        target: Updater

        function onDownloadProgress(received, total) {
            if (total > 0)
                dialog.fraction = received / total;
        }
        function onDownloadFinished() {
            dialog.close();
        }
        function onDownloadFailed() {
            dialog.downloading = false;
        }
    }

    contentItem: Column {
        spacing: 14

        Text {
            text: qsTr("New version %1 available").arg(dialog.versionName)
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: "#1a1d23"
        }

        ScrollView {
            width: parent.width
            height: Math.min(160, notesText.implicitHeight)
            visible: dialog.notes.length > 0
            clip: true

            Text {
                id: notesText

                width: dialog.availableWidth
                text: dialog.notes
                wrapMode: Text.Wrap
                font.pixelSize: 13
                color: "#6b7280"
            }
        }

        Column {
            width: parent.width
            spacing: 6
            visible: dialog.downloading

            Text {
                text: qsTr("Downloading… %1%").arg(Math.round(dialog.fraction * 100))
                font.pixelSize: 12
                color: "#6b7280"
            }

            ThinBar {
                width: parent.width
                value: dialog.fraction
            }
        }

        Row {
            anchors.right: parent.right
            spacing: 8

            GlyphButton {
                visible: !dialog.downloading
                text: qsTr("Later")
                frameColor: "#e2e6ea"
                onClicked: dialog.close()
            }

            FilledButton {
                objectName: "updateButton"
                height: 34
                width: Math.max(96, implicitWidth)
                enabled: !dialog.downloading
                text: dialog.downloading ? qsTr("Downloading…") : qsTr("Update")
                onClicked: {
                    dialog.downloading = true;
                    Updater.downloadAndInstall(dialog.url);
                }
            }
        }
    }
}
