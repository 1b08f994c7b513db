import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// Saved passwords, the interface language, the extracted folders, and what this is.
TouchPage {
    id: page

    property var actions

    title: Str.settings
    color: Theme.grouped

    Flickable {
        anchors.fill: parent
        anchors.margins: Theme.margin
        anchors.topMargin: Theme.gapS
        contentHeight: column.height
        clip: true

        Column {
            id: column

            width: parent.width
            spacing: Theme.margin

            SettingGroup {
                SettingRow {
                    objectName: "passwordsRow"
                    text: Str.passwords
                    value: UserData.passwordModel.count
                    chevron: true
                    onClicked: page.actions.showPasswords()
                }
            }

            SettingGroup {
                caption: Str.language

                Repeater {
                    model: [["", Str.langAuto], ["zh", Str.langZh], ["en", Str.langEn]]

                    SettingRow {
                        objectName: "language_" + (modelData[0] || "auto")
                        text: modelData[1]
                        checked: Str.langPref === modelData[0]
                        onClicked: Str.langPref = modelData[0]
                    }
                }
            }

            SettingGroup {
                SettingRow {
                    objectName: "clearExtractedRow"
                    text: Str.clearExtracted
                    labelColor: Theme.danger
                    value: Str.foldersCount.arg(Library.extractionCount)
                    onClicked: Library.clearExtractions(true)
                }
            }

            SettingGroup {
                caption: Str.about

                SettingRow {
                    text: Str.version
                    value: Qt.application.version
                    enabled: false
                }
            }

            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: Str.rarCredit
                color: Theme.subtext
                font.pixelSize: Theme.fsCaption
            }
        }
    }
}
