import QtQuick 2.15

// A masked input, restricted to Latin text without prediction or capitalisation.
FramedField {
    echoMode: TextInput.Password
    inputMethodHints: Qt.ImhHiddenText | Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
                      | Qt.ImhLatinOnly
}
