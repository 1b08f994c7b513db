import QtQuick 2.15
import QtTest 1.15
import Coffret 1.0

// The password windows over the real store: what they refuse, in the order they check, and
// what the pack prompt offers. Native message boxes are answered by TestHelper.
TestCase {
    name: "PasswordWindows"
    when: windowShown

    function showWindow(document) {
        var window = createTemporaryObject(Qt.createComponent("qrc:/Coffret/qml/" + document),
                                           null);
        window.show();
        return window;
    }

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
        var window = showWindow("AddPasswordWindow.qml");
        var before = UserData.passwordModel.count;
        var names = ["nameField", "passwordField", "confirmField"];
        for (var i = 0; i < names.length; ++i)
            findChild(window, names[i]).text = row.fields[i];
        if (row.said.length > 0) {
            TestHelper.answerNextDialog("ok");
            findChild(window, "okButton").clicked();
            compare(TestHelper.lastDialogText, row.said);
            verify(window.visible);
            compare(UserData.passwordModel.count, before);
        } else {
            findChild(window, "okButton").clicked();
            verify(!window.visible);
            UserData.load(); // as stored on disk
            compare(UserData.passwordModel.nameAt(before), "mail");
            compare(UserData.passwordModel.passwordAt(before), "a");
            // Listed by name in the manager, through the model's roles.
            var list = findChild(showWindow("PasswordManagerWindow.qml"), "passwordList");
            tryVerify(function () { return list.itemAtIndex(before) !== null; });
            compare(list.itemAtIndex(before).children[0].text, "mail");
        }
    }

    // A random password preselected, an empty one refused, a saved one chosen, a new random
    // one copied, a mismatch refused; dismissed, the choice is not remembered.
    function test_packPrompt() {
        verify(UserData.addPassword("work", "s3cret pass"));
        UserData.setLastIndex(0);
        var prompt = showWindow("PasswordDialog.qml");
        var password = findChild(prompt, "passwordField");
        var confirm = findChild(prompt, "confirmField");
        var copy = findChild(prompt, "copyButton");
        var preselected = password.text;
        compare(preselected.length, 16);
        verify(copy.visible);
        password.text = "";
        confirm.text = "";
        TestHelper.answerNextDialog("ok");
        findChild(prompt, "okButton").clicked();
        compare(TestHelper.lastDialogText, "Input password please!");

        var choices = findChild(prompt, "choiceBox");
        choices.currentIndex = 1;
        choices.activated(1);
        compare(password.text, UserData.passwordModel.passwordAt(0));
        compare(confirm.text, password.text);
        verify(confirm.visible && !copy.visible);
        confirm.text = "not the same";
        TestHelper.answerNextDialog("ok");
        findChild(prompt, "okButton").clicked();
        compare(TestHelper.lastDialogText, "Password must be the same as confirm!");

        findChild(prompt, "randomButton").clicked();
        compare(password.text.length, 16);
        verify(password.text !== preselected);
        compare(confirm.text, password.text);
        verify(!confirm.visible && copy.visible);
        TestHelper.answerNextDialog("ok");
        copy.clicked();
        compare(TestHelper.lastDialogText, "Password copied!");
        compare(TestHelper.clipboard(), password.text);

        prompt.dismiss();
        verify(!prompt.visible);
        compare(UserData.lastIndex, 0);
    }
}
