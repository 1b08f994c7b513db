import QtQuick 2.15

// Design tokens of the touch interface, following the system's light or dark appearance.
QtObject {
    property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }

    readonly property bool dark: 0.299 * palette.window.r + 0.587 * palette.window.g
                                 + 0.114 * palette.window.b < 0.5

    readonly property color bg: dark ? "#000000" : "#ffffff"
    readonly property color card: dark ? "#1c1c1e" : "#ffffff"
    readonly property color field: card
    readonly property color grouped: dark ? "#1c1c1e" : "#f2f2f7"
    readonly property color fill: Qt.rgba(0.47, 0.47, 0.50, dark ? 0.30 : 0.12)
    readonly property color fillSearch: Qt.rgba(0.47, 0.47, 0.50, dark ? 0.24 : 0.12)
    readonly property color text: dark ? "#ffffff" : "#000000"
    readonly property color subtext: dark ? Qt.rgba(0.92, 0.92, 0.96, 0.50)
                                          : Qt.rgba(0.24, 0.24, 0.26, 0.55)
    readonly property color faint: dark ? Qt.rgba(0.92, 0.92, 0.96, 0.30)
                                        : Qt.rgba(0.24, 0.24, 0.26, 0.30)
    readonly property color accent: dark ? "#0a84ff" : "#007aff"
    readonly property color folderTint: accent
    readonly property color accentDown: dark ? "#0060df" : "#0051d5"
    readonly property color danger: dark ? "#ff453a" : "#ff3b30"
    readonly property color accentFg: "#ffffff"
    readonly property color separator: dark ? Qt.rgba(0.33, 0.33, 0.35, 0.55)
                                            : Qt.rgba(0.24, 0.24, 0.26, 0.20)

    readonly property int radiusCard: 12
    readonly property int radiusField: 10
    readonly property int margin: 20
    readonly property int gap: 16
    readonly property int gapS: 8
    readonly property int rowH: 66
    readonly property int navH: 54
    readonly property int btnH: 50
    readonly property int iconCol: 52

    readonly property int fsNav: 17
    readonly property int fsLarge: 30
    readonly property int fsBody: 17
    readonly property int fsRow: 18
    readonly property int fsSub: 14
    readonly property int fsCaption: 13
}
