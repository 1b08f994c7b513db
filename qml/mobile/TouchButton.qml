import QtQuick 2.15

// The touch interface's primary button: the shared filled button in the theme's accent.
FilledButton {
    height: Theme.btnH
    radius: Theme.radiusCard
    baseColor: Theme.accent
    hoverColor: Theme.accentDown
    font.pixelSize: Theme.fsBody
    font.weight: Font.DemiBold
}
