import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// The buttons under the Pack list: add, remove, format, encryption and Pack.
Item {
    id: bar

    property Item owner

    height: 34

    Row {
        spacing: 6

        GlyphButton {
            glyph: "plus"
            text: qsTr("Files")
            frameColor: "#e2e6ea"
            onClicked: {
                var picked = AppBackend.getOpenFileNames(qsTr("Select files to pack"));
                for (var i = 0; i < picked.length; ++i)
                    bar.owner.fileModel.addFile(picked[i]);
            }
        }
        GlyphButton {
            glyph: "plus"
            text: qsTr("Folders")
            frameColor: "#e2e6ea"
            onClicked: {
                var picked = AppBackend.getExistingDirectories(qsTr("Select directories to pack"));
                for (var i = 0; i < picked.length; ++i)
                    bar.owner.fileModel.addDirectory(picked[i]);
            }
        }
        GlyphButton {
            objectName: "deleteButton"
            glyph: "minus"
            text: qsTr("Delete")
            frameColor: "#e2e6ea"
            enabled: bar.owner.selectedRow >= 0
            onClicked: {
                bar.owner.fileModel.removeRow(bar.owner.selectedRow);
                bar.owner.selectedRow = -1;
            }
        }
        GlyphButton {
            glyph: "x"
            text: qsTr("Clear")
            frameColor: "#e2e6ea"
            onClicked: {
                bar.owner.fileModel.clear();
                bar.owner.selectedRow = -1;
            }
        }
    }

    Row {
        anchors.right: parent.right
        spacing: 8

        ComboBox {
            id: formatBox

            objectName: "formatBox"
            width: 200
            height: 34
            model: bar.owner.formats
            textRole: "label"
            currentIndex: bar.owner.formatIndex
            onActivated: bar.owner.formatIndex = index
            hoverEnabled: true
            ToolTip.visible: hovered
            ToolTip.text: qsTr("Compress format")
        }

        CheckBox {
            objectName: "encryptBox"
            height: 34
            visible: bar.owner.encryptOptional
            text: qsTr("Encrypt")
            checked: bar.owner.encrypt
            onToggled: bar.owner.encrypt = checked
        }

        FilledButton {
            objectName: "packButton"
            height: 34
            width: Math.max(88, implicitWidth)
            text: qsTr("Pack")
            enabled: bar.owner.fileModel.count > 0
            onClicked: bar.owner.packRequested()
        }
    }
}
