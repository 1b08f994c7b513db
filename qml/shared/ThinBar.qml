import QtQuick 2.15

// A 6 px progress track whose fill follows `value` (0 to 1) with a short animation.
Rectangle {
    id: bar

    property real value: 0
    property color fillColor: "#5b7fe2"

    height: 6
    radius: 3
    color: "#e9ecef"

    Rectangle {
        height: parent.height
        radius: parent.radius
        color: bar.fillColor
        width: parent.width * Math.max(0, Math.min(1, bar.value))

        Behavior on width {
            NumberAnimation {
                duration: 200
                easing.type: Easing.OutQuad
            }
        }
    }
}
