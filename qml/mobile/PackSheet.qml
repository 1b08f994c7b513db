import QtQuick 2.15
import QtQuick.Controls 2.15
import Coffret 1.0

// Packing the picked files into a new package: a password typed, drawn at random or saved.
BottomSheet {
    id: sheet

    property var paths: []

    signal confirmed(var paths, string password)
    signal notice(string text)

    function openWith(picked) {
        paths = picked;
        field.text = "";
        field.revealed = false;
        open();
    }

    function fillRandom() {
        field.text = AppBackend.generateRandomPassword();
        field.revealed = true;
        AppBackend.copyToClipboard(field.text);
        notice(Str.randomCopied);
    }

    title: Str.newPackageTitle

    Text {
        objectName: "countText"
        text: Str.itemsSelected.arg(sheet.paths.length)
        color: Theme.subtext
        font.pixelSize: Theme.fsSub
    }

    RevealField {
        id: field

        objectName: "packPasswordField"
    }

    Row {
        spacing: Theme.gapS

        CircleButton {
            objectName: "shuffleButton"
            glyph: "shuffle"
            onClicked: sheet.fillRandom()
        }

        TextLink {
            objectName: "randomButton"
            anchors.verticalCenter: parent.verticalCenter
            text: Str.randomPassword
            onClicked: sheet.fillRandom()
        }
    }

    TextLink {
        objectName: "packUseSaved"
        visible: UserData.passwordModel.count > 0
        text: Str.useSaved
        onClicked: picker.open()
    }

    TouchButton {
        objectName: "encryptButton"
        width: parent.width
        enabled: field.text.length > 0 && sheet.paths.length > 0
        text: Str.encrypt
        onClicked: {
            sheet.close();
            sheet.confirmed(sheet.paths, field.text);
        }
    }

    PasswordPicker {
        id: picker

        objectName: "packPicker"

        onChosen: {
            field.text = password;
            field.revealed = false;
        }
    }
}
