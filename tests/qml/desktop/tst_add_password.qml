import QtQuick 2.15
import QtTest 1.15
import Coffret 1.0

// The add-password window over the real store: what it refuses, in the order it checks.
TestCase {
    name: "AddPasswordWindow"
    when: windowShown

    function test_addValidationOrder_data() {
        return [
            {tag: "nothing typed", fields: ["", "", "x"], said: "Input password name please!"},
            {tag: "no password", fields: ["mail", "", "x"], said: "Input password please!"},
            {tag: "mismatch", fields: ["mail", "a", "b"],
             said: "Password must be the same as confirm!"},
            {tag: "accepted", fields: ["mail", "a", "a"], said: ""}
        ];
    }

    function test_addValidationOrder(row) {
        var window = createTemporaryObject(Qt.createComponent("qrc:/Coffret/qml/AddPasswordWindow.qml"),
                                           null);
        window.show();
        var before = UserData.passwordModel.count;
        var names = ["nameField", "passwordField", "confirmField"];
        for (var i = 0; i < names.length; ++i)
            findChild(window, names[i]).text = row.fields[i];
        if (row.said.length > 0)
            TestHelper.answerNextDialog("ok");
        findChild(window, "okButton").clicked();
        if (row.said.length > 0) {
            compare(TestHelper.lastDialogText, row.said);
            verify(window.visible);
            compare(UserData.passwordModel.count, before);
        } else {
            verify(!window.visible);
            compare(UserData.passwordModel.nameAt(before), "mail");
            compare(UserData.passwordModel.passwordAt(before), "a");
        }
    }
}
