import QtQuick 2.15
import QtQuick.Window 2.15
import Coffret 1.0

// Shows the running job's progress: one bar, or two for the two rounds of a package.
Window {
    id: dialog

    // The desktop window lets the user stop the job; the command-line flow does not.
    property bool cancellable: false

    // The job was stopped from here; no outcome signal follows.
    signal cancelled

    objectName: "progressDialog"
    title: "Coffret"
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 480
    height: (PackController.twoStage ? 160 : 104) + (cancellable ? 46 : 0)
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    Connections {
        target: PackController

        function onPackSucceeded() {
            dialog.close();
        }
        function onExtractSucceeded() {
            dialog.close();
        }
        function onPackFailed() {
            dialog.close();
        }
        function onExtractFailed() {
            dialog.close();
        }
    }

    Column {
        x: 24
        y: 24
        width: dialog.width - 48
        spacing: 18

        ProgressSection {
            objectName: "firstSection"
            width: parent.width
            caption: PackController.twoStage ? qsTr("Round 1") : qsTr("Progress")
            value: PackController.firstProgress
        }

        ProgressSection {
            objectName: "secondSection"
            width: parent.width
            visible: PackController.twoStage
            caption: qsTr("Round 2")
            value: PackController.secondProgress
            fillColor: "#52c47e"
        }

        GlyphButton {
            objectName: "cancelButton"
            anchors.right: parent.right
            visible: dialog.cancellable
            text: qsTr("Cancel")
            frameColor: "#e2e6ea"
            onClicked: {
                PackController.cancel();
                dialog.close();
                dialog.cancelled();
            }
        }
    }
}
