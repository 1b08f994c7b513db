import QtQuick 2.15
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// A pushed page: the nav bar with its back chevron, and a drag from the left edge that
// goes back too. A page that has its own idea of "back" handles `backRequested`.
Rectangle {
    id: page

    property alias title: nav.title
    property alias navButtons: nav.trailing
    default property alias body: content.data
    // False: the page handles `backRequested` itself.
    property bool popsOnBack: true

    signal backRequested()

    function goBack() {
        backRequested();
        if (popsOnBack && StackView.view)
            StackView.view.pop();
    }

    color: Theme.bg

    NavBar {
        id: nav

        showBack: true
        onBackClicked: page.goBack()
    }

    Item {
        id: content

        anchors.top: nav.bottom
        anchors.bottom: parent.bottom
        width: parent.width
    }

    // Over everything, but only along the edge, so rows and buttons keep their touches.
    MouseArea {
        objectName: "backSwipeArea"

        property real startX: 0

        width: Rules.backSwipeEdge
        height: parent.height
        preventStealing: true
        onPressed: startX = mouse.x
        onReleased: if (Rules.isBackSwipe(startX, mouse.x - startX))
            page.goBack()
    }
}
