import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The saved passwords by name; choosing one hands its password back and closes.
Popup {
    id: picker

    signal chosen(string password)

    parent: Overlay.overlay
    width: parent ? parent.width : 0
    height: parent ? Rules.pickerHeight(UserData.passwordModel.count, parent.height) : 0
    y: parent ? parent.height - height : 0
    modal: true
    padding: 0
    background: Rectangle {
        color: Theme.grouped
        radius: Theme.radiusCard * 1.5
    }

    contentItem: Column {
        Text {
            width: parent.width
            height: 70
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            text: Str.useSaved
            color: Theme.text
            font.pixelSize: Theme.fsNav
            font.weight: Font.DemiBold
        }

        ListView {
            id: list

            objectName: "pickerList"
            width: parent.width
            height: picker.height - 70
            clip: true
            model: UserData.passwordModel
            delegate: ItemDelegate {
                width: list.width
                height: 60
                leftPadding: Theme.margin
                text: model.passwordName
                palette.text: Theme.text
                palette.windowText: Theme.text
                font.pixelSize: Theme.fsRow
                onClicked: {
                    picker.close();
                    picker.chosen(model.password);
                }
            }
        }
    }
}
