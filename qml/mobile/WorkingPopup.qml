import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// Shown for as long as a job runs: both bars of the controller, and a way to stop it.
Popup {
    id: popup

    // A job asked to stop may take a moment; one request is enough.
    property bool cancelling: false

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(300, parent ? parent.width - 2 * Theme.margin : 300)
    visible: PackController.isRunning
    modal: true
    closePolicy: Popup.NoAutoClose
    onOpened: cancelling = false
    padding: Theme.margin
    background: Rectangle {
        color: Theme.card
        radius: Theme.radiusCard
    }
    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.35)
    }

    contentItem: Column {
        spacing: Theme.gap

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: Str.working
            color: Theme.text
            font.pixelSize: Theme.fsBody
            font.weight: Font.DemiBold
        }

        ThinBar {
            objectName: "firstBar"
            width: parent.width
            value: PackController.firstProgress
            color: Theme.fill
            fillColor: Theme.accent
        }

        ThinBar {
            objectName: "secondBar"
            width: parent.width
            value: PackController.secondProgress
            color: Theme.fill
            fillColor: Theme.accent
        }

        TextLink {
            objectName: "cancelJobButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: Str.cancel
            enabled: !popup.cancelling
            onClicked: {
                popup.cancelling = true;
                PackController.cancel();
            }
        }
    }
}
