import QtQuick 2.15

// A page's top bar: the back chevron when the page was pushed, the title, round buttons.
Item {
    id: bar

    property string title
    property bool showBack: false
    default property alias trailing: buttons.data

    signal backClicked()

    anchors.left: parent.left
    anchors.right: parent.right
    height: Theme.navH

    CircleButton {
        objectName: "backButton"
        anchors.left: parent.left
        anchors.leftMargin: Theme.gapS
        anchors.verticalCenter: parent.verticalCenter
        visible: bar.showBack
        glyph: "chevron-left"
        onClicked: bar.backClicked()
    }

    Text {
        anchors.centerIn: parent
        width: parent.width - 2 * Math.max(buttons.width, 44) - 2 * Theme.margin
        horizontalAlignment: Text.AlignHCenter
        text: bar.title
        elide: Text.ElideMiddle
        color: Theme.text
        font.pixelSize: Theme.fsNav
        font.weight: Font.DemiBold
    }

    Row {
        id: buttons

        anchors.right: parent.right
        anchors.rightMargin: Theme.gapS
        anchors.verticalCenter: parent.verticalCenter
        spacing: Theme.gapS
    }
}
