import QtQuick 2.15

// Caption above a control of the standalone windows.
Text {
    height: 20
    verticalAlignment: Text.AlignVCenter
    font.pixelSize: 12
    font.weight: Font.DemiBold
    color: "#6b7280"
}
