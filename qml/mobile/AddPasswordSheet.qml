import QtQuick 2.15
import Coffret 1.0
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// A new saved password: name, password twice; the first problem found is shown.
BottomSheet {
    id: sheet

    property alias error: errorLine.text

    function openEmpty() {
        nameField.text = "";
        passwordField.text = "";
        confirmField.text = "";
        error = "";
        open();
    }

    function submit() {
        var problem = Rules.passwordEntryProblem(nameField.text, passwordField.text,
                                                 confirmField.text);
        if (problem.length > 0) {
            error = Str[problem];
            return;
        }
        // Refused only for a line break pasted in, which the store cannot keep.
        if (UserData.addPassword(nameField.text.trim(), passwordField.text))
            close();
    }

    title: Str.addPassword

    SheetField {
        id: nameField

        objectName: "nameField"
        placeholderText: Str.pwdName
    }

    RevealField {
        id: passwordField

        objectName: "passwordField"
    }

    RevealField {
        id: confirmField

        objectName: "confirmField"
        placeholderText: Str.confirmPwd
    }

    Text {
        id: errorLine

        objectName: "addError"
        visible: text.length > 0
        color: Theme.danger
        font.pixelSize: Theme.fsSub
    }

    TouchButton {
        objectName: "saveButton"
        width: parent.width
        text: Str.save
        onClicked: sheet.submit()
    }
}
