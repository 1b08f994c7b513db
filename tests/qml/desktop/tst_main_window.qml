import QtQuick 2.15
import QtTest 1.15
import Coffret 1.0
import "qrc:/Coffret/qml/PathRules.js" as PathRules

// The desktop window over the real backend: drops, the vault's opening rules, packing and
// the row menu; the password windows over the real store (what they refuse, in the order
// they check, and what the pack prompt offers); and the path rules behind the window for
// the inputs it does not reach. Native dialogs are answered by TestHelper; archive jobs
// really run.
TestCase {
    id: test

    name: "MainWindow"
    when: windowShown

    property var win: null
    property var view: null
    readonly property string work: TestHelper.home + "/work"

    SignalSpy { id: extracted; target: PackController; signalName: "extractSucceeded" }
    SignalSpy { id: packed; target: PackController; signalName: "packSucceeded" }

    function initTestCase() {
        win = Qt.createComponent("qrc:/Coffret/qml/Main.qml").createObject(test);
        verify(win);
        view = findChild(win, "mainView");
        verify(view);
        TestHelper.writeFile(work + "/note.txt", "note");
        verify(TestHelper.makeArchive(work + "/SECRET.CFR", [work + "/note.txt"], "pw1"));
    }

    function init() {
        view.fileModel.clear();
        findChild(view, "messageDialog").close();
        extracted.clear();
        packed.clear();
        TestHelper.clearOpened();
    }

    function submitMaster(typed, confirmed) {
        var overlay = findChild(view, "authOverlay");
        if (!overlay.visible)
            view.showAuthOverlay();
        findChild(overlay, "masterField").text = typed;
        findChild(overlay, "masterConfirmField").text = confirmed;
        mouseClick(findChild(overlay, "authSubmitButton"));
    }

    function unlockVault() {
        submitMaster("master-pw", "master-pw");
        verify(VaultAuth.unlocked && !findChild(view, "authOverlay").visible);
    }

    function message() {
        var dialog = findChild(view, "messageDialog");
        return dialog.visible ? dialog.text : "";
    }

    function test_1_masterPasswordOverlay() {
        var overlay = findChild(view, "authOverlay");
        tryVerify(function () { return overlay.visible; }, 5000, "a locked vault asks at once");
        verify(view.authSetup);
        submitMaster("a", "b");
        compare(view.authError, "The two passwords do not match.");
        unlockVault();
        VaultAuth.lock();
        view.currentTab = 1;
        view.currentTab = 0;
        verify(overlay.visible && !view.authSetup);
        findChild(overlay, "masterField").text = "wrong";
        keyClick(Qt.Key_Return);
        compare(view.authError, "Incorrect master password.");
        verify(!VaultAuth.unlocked);
        unlockVault();
    }

    function test_dragShowsOverlay() {
        TestHelper.drag(win, ["file://" + work + "/note.txt"], false);
        verify(findChild(view, "dropOverlay").visible);
        TestHelper.dragLeave(win);
        verify(!findChild(view, "dropOverlay").visible);
    }

    function test_dropNotImported_data() {
        var note = "file://" + work + "/note.txt";
        return [
            {tag: "folder named like a package", urls: ["file://" + work + "/box.cfr/"], rows: 1},
            {tag: "mix with a web address", urls: [note, "https://example.org/a.zip"], rows: 1,
             error: true},
            {tag: "locked: only the overlay", urls: ["file://" + work + "/SECRET.CFR", note],
             rows: 0, locked: true}
        ];
    }

    function test_dropNotImported(row) {
        TestHelper.makeDir(work + "/box.cfr");
        if (row.locked)
            VaultAuth.lock();
        var before = Library.count;
        TestHelper.drag(win, row.urls, true);
        compare(view.fileModel.count, row.rows);
        if (row.rows > 0)
            compare(view.currentTab, 1);
        compare(Library.count, before);
        compare(message().length > 0, row.error === true);
        compare(findChild(view, "authOverlay").visible, row.locked === true);
        if (row.locked)
            unlockVault();
    }

    function test_packageDropImportsAndOpens() {
        var before = Library.count;
        TestHelper.drag(win, ["file://" + work + "/SECRET.CFR"], true);
        compare(Library.count, before + 1);
        var prompt = view.passwordWindow;
        tryVerify(function () { return prompt.visible; });
        verify(prompt.forVault && !prompt.isForPack);
        compare(prompt.vaultBaseName, "SECRET");
        var id = prompt.vaultItemId;
        findChild(prompt, "passwordField").text = "pw1";
        prompt.submit();
        extracted.wait(20000);
        compare(TestHelper.opened, [extracted.signalArguments[0][0]]);
        compare(TestHelper.readFile(TestHelper.opened[0] + "/note.txt"), "note");
        var row = Library.rowForId(id);
        compare(Library.data(Library.index(row, 0), 267), true); // decrypted
        compare(Library.data(Library.index(row, 0), 266), "pw1"); // saved password

        // The same bytes again: not added, the existing row is shown instead.
        TestHelper.drag(win, ["file://" + work + "/SECRET.CFR"], true);
        compare(Library.count, before + 1);
        compare(findChild(view, "vaultPage").flashRow, row);
        verify(message().indexOf("already in the vault") > 0);
    }

    function test_changedExtraction_data() {
        return [{tag: "discard and extract again", answer: "yes"},
                {tag: "keep the changes", answer: "no"}];
    }

    function test_changedExtraction(row) {
        var source = work + "/" + row.answer;
        TestHelper.writeFile(source + "/note.txt", row.answer);
        verify(TestHelper.makeArchive(source + ".zip", [source + "/note.txt"], ""));
        var id = Library.importArchive(source + ".zip");
        Library.setPassword(id, "kept");
        var path = view.vaultFlow.itemPath(id);
        view.vaultFlow.openVaultItem(id, path, row.answer + ".zip", "kept");
        verify(!view.passwordWindow.visible, "no password: no prompt");
        extracted.wait(20000);
        var first = TestHelper.opened[0];

        TestHelper.writeFile(first + "/note.txt", "edited");
        TestHelper.clearOpened();
        TestHelper.answerNextDialog(row.answer);
        view.vaultFlow.openVaultItem(id, path, row.answer + ".zip", "kept");
        compare(TestHelper.lastDialogText.indexOf("were changed after extraction") > 0, true);
        if (row.answer === "no") {
            compare(TestHelper.opened, [first]);
            compare(TestHelper.readFile(first + "/note.txt"), "edited");
        } else {
            extracted.wait(20000); // the edited copy was deleted before, so the name is free
            compare(TestHelper.readFile(TestHelper.opened[0] + "/note.txt"), row.answer);
        }
    }

    function test_packFormats_data() {
        return [
            {tag: "tar.gz over a .zip name", format: 4, encrypt: false, chosen: "/a.zip",
             prompt: false, written: "/a.tar.gz"},
            {tag: "zip without Encrypt", format: 1, encrypt: false, chosen: "/c",
             prompt: false, written: "/c.zip"},
            {tag: "zip with Encrypt", format: 1, encrypt: true, chosen: "/d", prompt: true,
             written: "/d.zip"},
            {tag: "package always prompts", format: 0, encrypt: false, chosen: "/e.zip",
             prompt: true, written: "/e.cfr"},
            {tag: "forced name taken, kept", format: 4, encrypt: false, chosen: "/a.7z",
             prompt: false, written: "", replace: "no"},
            {tag: "forced name taken, replaced", format: 4, encrypt: false, chosen: "/a.7z",
             prompt: false, written: "/a.tar.gz", replace: "yes"}
        ];
    }

    function test_packFormats(row) {
        view.fileModel.addFile(work + "/note.txt");
        view.packFormatIndex = row.format;
        view.packEncrypt = row.encrypt;
        if (row.replace)
            TestHelper.answerNextDialog(row.replace);
        view.packFlow.packTo(work + row.chosen);
        if (row.written.length === 0) {
            verify(!PackController.isRunning);
            return;
        }
        compare(view.passwordWindow.visible, row.prompt);
        if (row.prompt) {
            findChild(view.passwordWindow, "passwordField").text = "pk";
            findChild(view.passwordWindow, "confirmField").text = "pk";
            view.passwordWindow.submit();
        }
        packed.wait(20000);
        compare(packed.signalArguments[0][0], work + row.written);
        verify(TestHelper.exists(work + row.written));
        verify(message().indexOf(work + row.written) > 0);
    }

    function test_rowMenuFollowsExtraction() {
        var id = Library.data(Library.index(0, 0), 257);
        var menu = findChild(view, "rowMenu");
        menu.openFor(findChild(view, "vaultList").itemAtIndex(0));
        Library.clearExtractions(false);
        verify(!findChild(menu, "openFolderEntry").enabled);
        verify(!findChild(menu, "clearFilesEntry").enabled);
        TestHelper.makeDir(work + "/extracted");
        Library.setExtraction(id, work + "/extracted");
        verify(findChild(menu, "openFolderEntry").enabled);
        verify(findChild(menu, "clearFilesEntry").enabled);
        menu.close();
    }

    function test_importRejectsNonArchives() {
        var before = Library.count;
        TestHelper.answerNextDialog(work + "/note.txt");
        view.vaultFlow.importRequested();
        compare(Library.count, before);
        compare(message(), "\"note.txt\" is not an archive.");
    }

    function test_updateAnswers_data() {
        return [
            {tag: "asked, up to date", manual: true, emit: "upToDate",
             said: "You're up to date."},
            {tag: "silent, up to date", manual: false, emit: "upToDate", said: ""},
            {tag: "asked, check failed", manual: true, emit: "checkFailed",
             said: "Could not check for updates. Please try again later."},
            {tag: "silent, check failed", manual: false, emit: "checkFailed", said: ""},
            {tag: "no update server", manual: true, emit: "updatesDisabled",
             said: "Updates come from apt."}
        ];
    }

    function test_updateAnswers(row) {
        view.manualUpdateCheck = row.manual;
        Updater[row.emit](row.said);
        compare(message(), row.said);
        verify(!view.manualUpdateCheck);
    }

    function test_updateDialogDownloadFails() {
        var dialog = findChild(view, "updateDialog");
        Updater.updateAvailable("2.5.0", "Faster packing.", "https://127.0.0.1:1/setup.run");
        tryVerify(function () { return dialog.opened; });
        dialog.downloading = true; // as after "Update", without reaching for the network
        Updater.downloadFailed("disk full");
        verify(!dialog.downloading);
        compare(message(), "Download failed: disk full");
        dialog.close();
    }

    function test_cancelledJobLeavesNothingPending() {
        view.pendingVaultId = "some-id";
        view.pendingPackPassword = "pw";
        PackController.cancelled();
        compare(view.pendingVaultId, "");
        compare(view.pendingPackPassword, "");
        compare(findChild(view, "toast").text, "Cancelled");
    }

    function test_classifyDrop_data() {
        return [
            {tag: "escaped name", url: "file:///home/u/My%20Notes.txt",
             path: "/home/u/My Notes.txt", action: "file"},
            {tag: "stray percent", url: "file:///home/u/100%.txt", path: "/home/u/100%.txt",
             action: "file"},
            {tag: "drive letter", url: "file:///C:/data/a.zip", path: "C:/data/a.zip",
             action: "import"},
            {tag: "root", url: "file:///", path: "", action: "skip"}
        ];
    }

    function test_classifyDrop(row) {
        var entries = PathRules.classifyDrop([row.url], function (path) {
            return /\.zip$/i.test(path) ? "zip" : "unknown";
        });
        compare(entries[0].path, row.path);
        compare(entries[0].action, row.action);
    }

    function test_pathNames_data() {
        return [
            {tag: "only the last suffix", out: PathRules.withPackExtension("/d/a.zip.cfr", ".zip"),
             expected: "/d/a.zip.zip"},
            {tag: "foreign dot kept", out: PathRules.withPackExtension("/d/v1.2", ".7z"),
             expected: "/d/v1.2.7z"},
            {tag: "upper-case double suffix", out: PathRules.extractionBaseName("photos.TAR.GZ"),
             expected: "photos"},
            {tag: "suffix only", out: PathRules.extractionBaseName(".cfr"), expected: ".cfr"}
        ];
    }

    function test_pathNames(row) {
        compare(row.out, row.expected);
    }

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
