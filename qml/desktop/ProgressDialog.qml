import QtQuick 2.15
import QtQuick.Window 2.15
import Coffret 1.0

// Shows the running job's progress, one bar or two for the two rounds of a package, and
// lets the user cancel it.
Window {
    id: dialog

    objectName: "progressDialog"
    title: "Coffret"
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: false
    color: "#ffffff"
    width: 480
    height: PackController.twoStage ? 206 : 150
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    // Set once the job has ended, so that the window then closes without asking.
    property bool jobEnded: false
    property bool cancelling: false

    function endJob() {
        jobEnded = true;
        close();
    }

    function cancelJob() {
        cancelling = true;
        PackController.cancel();
    }

    onVisibleChanged: {
        if (visible) {
            jobEnded = false;
            cancelling = false;
        }
    }

    // A job stopped by mistake cannot be taken back: the title bar's close button asks first.
    onClosing: function (close) {
        if (jobEnded || !PackController.isRunning)
            return;
        close.accepted = false;
        if (!cancelling && AppBackend.confirm("Coffret", qsTr("Cancel this job?")))
            cancelJob();
    }

    Connections {
        target: PackController

        function onPackSucceeded() {
            dialog.endJob();
        }
        function onExtractSucceeded() {
            dialog.endJob();
        }
        function onPackFailed() {
            dialog.endJob();
        }
        function onExtractFailed() {
            dialog.endJob();
        }
        function onCancelled() {
            dialog.endJob();
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
    }

    FilledButton {
        objectName: "cancelButton"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 24
        width: 88
        height: 34
        enabled: !dialog.cancelling
        text: dialog.cancelling ? qsTr("Cancelling...") : qsTr("Cancel")
        onClicked: dialog.cancelJob()
    }
}
