import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import Coffret 1.0
import "qrc:/Coffret/qml"
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The whole touch interface on a Chinese system, driven as a person would: switching the
// language, packing with a random password, unlocking (wrongly, then rightly), browsing the
// extraction, and adding saved passwords. Real packages, real library, real settings. Then
// its rules on their own: a row dragged with the mouse (where it settles, what a tap on it
// does, when its actions act), which sides a row may open, badges, and the extraction
// folder's name; the rows need a parent of their size in the test's window.
Item {
    id: stage

    width: 390
    height: 200

TestCase {
    id: testCase

    name: "TouchVault"
    when: windowShown

    property var app: null

    function item(name, root) {
        var found = findChild(root || app, name);
        verify(found, "no item named " + name);
        return found;
    }

    // Popped pages linger until deleted; look only at the one shown.
    function onPage(name) {
        return item(name, stack().currentItem);
    }

    function stack() {
        return item("stack");
    }

    // A list lays out new rows on its next polish, not when the model changes.
    function rowAt(list, index) {
        tryVerify(function () { return list.itemAtIndex(index) !== null; });
        return list.itemAtIndex(index);
    }

    // A finger pressed at x = from, moved by distance in five steps, lifted.
    function drag(target, from, distance, y) {
        mousePress(target, from, y);
        for (var step = 1; step <= 5; ++step)
            mouseMove(target, from + distance * step / 5, y, -1, Qt.LeftButton);
        mouseRelease(target, from + distance, y);
    }

    function swipeFromLeftEdge(distance) {
        drag(stack().currentItem, 4, distance, 400);
    }

    // Every text a person can read on the current page and its bars.
    function visibleTexts(node, into) {
        if (!node.visible)
            return into;
        if (typeof node.text === "string" && node.text.length > 0
                && /^(QQuickText|Text)/.test(node.toString()))
            into.push(node.text);
        for (var i = 0; i < node.children.length; ++i)
            visibleTexts(node.children[i], into);
        return into;
    }

    function initTestCase() {
        var component = Qt.createComponent("qrc:/Coffret/qml/MobileApp.qml");
        app = component.createObject(null);
        verify(app, component.errorString());
        waitForRendering(app.contentItem);
    }

    function cleanupTestCase() {
        app.destroy();
    }

    function init() {
        tryCompare(stack(), "busy", false);
        while (stack().depth > 1)
            stack().pop(null, StackView.Immediate);
    }

    function test_1_languageSwitchesLiveAndIsKept() {
        // Nothing chosen yet: the Chinese system decides.
        compare(Str.langPref, "");
        var before = visibleTexts(app.contentItem, []);
        verify(before.indexOf("我的加密包") >= 0, before);

        mouseClick(item("settingsButton"));
        tryCompare(stack(), "busy", false);
        mouseClick(onPage("language_en"));
        compare(AppBackend.getSetting("i18n/langPref", "unset"), "en");
        verify(onPage("language_en").checked && !onPage("language_auto").checked);
        var han = /[\u4e00-\u9fff]/;
        var after = visibleTexts(app.contentItem, []);
        for (var i = 0; i < after.length; ++i)
            verify(after[i] === "中文" || !han.test(after[i]), "still Chinese: " + after[i]);
        verify(after.indexOf("Settings") >= 0, after);

        // A preference the program never writes follows the system again.
        Str.langPref = "fr";
        compare(Str.vault, "我的加密包");
        Str.langPref = "en";

        // Read back at the next start; cleared, the system's locale, handed over at
        // creation, decides again.
        var strings = Qt.createComponent("qrc:/Coffret/qml/Strings.qml");
        var restarted = createTemporaryObject(strings, testCase);
        compare(restarted.appName, "Coffret");
        restarted.langPref = "";
        compare(AppBackend.getSetting("i18n/langPref", "unset"), "");
        compare(createTemporaryObject(strings, testCase, {systemLocaleName: "en_US"}).appName,
                "Coffret");
        compare(createTemporaryObject(strings, testCase, {systemLocaleName: "zh_TW"}).appName,
                "珂匣");
    }

    function test_2_packUnlockAndBrowse() {
        verify(TestHelper.writeFile(TestHelper.home + "/in/docs/sub/deep.txt", "deep"));
        verify(TestHelper.writeFile(TestHelper.home + "/in/docs/a-top.md", "top"));
        var sheet = item("packSheet");
        sheet.openWith([TestHelper.home + "/in/docs"]);
        tryCompare(sheet, "opened", true);
        compare(sheet.y + sheet.height, app.height); // whole, on the bottom edge
        mouseClick(item("shuffleButton"));
        var field = item("packPasswordField");
        var password = field.text;
        compare(password.length, 16);
        mouseClick(item("encryptButton"));
        tryCompare(Library, "count", 1, 60000);
        tryCompare(PackController, "isRunning", false);
        compare(item("toast").text, Str.packageCreated);

        var list = item("vaultList");
        var row = rowAt(list, 0);
        compare(row.savedPassword, password);
        verify(new RegExp("^" + Str.appName + "_\\d{8}_\\d{6}\\.cfr$").test(row.name), row.name);

        // A wrong password keeps the sheet open and says so.
        mouseClick(row);
        var unlock = item("unlockSheet");
        tryCompare(unlock, "opened", true);
        failures.clear();
        item("unlockPasswordField").text = "not it";
        mouseClick(item("unlockButton"));
        failures.wait(60000);
        verify(unlock.opened);
        compare(item("unlockError").text, Str.wrongPassword);
        compare(stack().depth, 1);

        item("unlockPasswordField").text = password;
        mouseClick(item("unlockButton"));
        tryCompare(stack(), "depth", 2, 60000);
        tryCompare(stack(), "busy", false);
        tryCompare(unlock, "visible", false);
        var extraction = Library.extractionForArchive(row.itemId);
        verify(TestHelper.exists(extraction + "/docs/sub/deep.txt"), extraction);

        // Down two levels (folders before files), back up by the edge swipe (not by a short
        // one), then out.
        var browser = stack().currentItem;
        var folders = onPage("folderList");
        tryCompare(folders, "count", 1);
        mouseClick(rowAt(folders, 0));
        tryCompare(browser, "title", "docs");
        compare(folders.count, 2);
        mouseClick(rowAt(folders, 1));
        compare(TestHelper.opened, [extraction + "/docs/a-top.md"]);
        mouseClick(rowAt(folders, 0));
        tryCompare(browser, "title", "sub");
        swipeFromLeftEdge(70);
        tryCompare(browser, "title", "docs");
        swipeFromLeftEdge(40);
        compare(browser.title, "docs");
        compare(stack().depth, 2);

        // A folder deleted while it is shown says so; back still climbs.
        verify(TestHelper.removeTree(extraction + "/docs"));
        tryCompare(onPage("unreadableLine"), "visible", true);
        mouseClick(onPage("backButton"));
        tryCompare(browser, "title", extraction.slice(extraction.lastIndexOf("/") + 1));
        compare(folders.count, 0);
        swipeFromLeftEdge(70);
        tryCompare(stack(), "depth", 1);
        tryCompare(stack(), "busy", false);

        // Opened again: the recorded folder is shown as it is, nothing is extracted.
        jobs.clear();
        mouseClick(rowAt(list, 0));
        tryCompare(stack(), "depth", 2);
        compare(jobs.count, 0);
        compare(stack().currentItem.rootFolder, extraction);
    }

    function test_3_addPassword_data() {
        return [
            { tag: "blank name first", name: "  ", password: "", confirmation: "x", error: "nameRequired" },
            { tag: "then the password", name: " n ", password: "", confirmation: "x", error: "pwdRequired" },
            { tag: "then the match", name: "n", password: "a", confirmation: "b", error: "pwdMismatch" },
            { tag: "stored trimmed", name: "  Bank ", password: "a b", confirmation: "a b", error: "" }
        ];
    }

    function test_3_addPassword(row) {
        var before = UserData.passwordModel.count;
        stack().push(item("vaultActions").passwordsPage, { "actions": item("vaultActions") },
                     StackView.Immediate);
        mouseClick(onPage("addPasswordButton"));
        tryCompare(onPage("addPasswordSheet"), "opened", true);
        onPage("nameField").text = row.name;
        onPage("passwordField").text = row.password;
        onPage("confirmField").text = row.confirmation;
        mouseClick(onPage("saveButton"));
        if (row.error.length > 0) {
            compare(onPage("addError").text, Str[row.error]);
            compare(UserData.passwordModel.count, before);
            var sheet = onPage("addPasswordSheet");
            sheet.close();
            tryCompare(sheet, "visible", false);
            return;
        }
        compare(UserData.passwordModel.count, before + 1);
        compare(UserData.passwordModel.nameAt(before), "Bank");
        compare(UserData.passwordModel.passwordAt(before), "a b");
    }

    function test_4_pickerGrowsWithItsRowsUpToSeventyPercent() {
        var sheet = item("packSheet");
        sheet.openWith([TestHelper.home + "/in/docs"]);
        mouseClick(item("packUseSaved"));
        var picker = item("packPicker");
        tryVerify(function () { return picker.opened; });
        var fewRows = picker.height;
        verify(fewRows > 0 && fewRows < app.height * 0.7, fewRows);
        for (var i = 0; i < 12; ++i)
            UserData.addPassword("p" + i, "x");
        compare(picker.height, app.height * 0.7);
        picker.close();
        sheet.close();
    }

    function test_5_import_data() {
        return [
            { tag: "not an archive", file: "/in/letter.zip", text: "Dear bank", toast: "unsupported" },
            { tag: "an archive", file: "/in/docs.zip", toast: "imported", added: 1 },
            { tag: "the same again", file: "/in/docs.zip", toast: "duplicate" }
        ];
    }

    function test_5_import(row) {
        var path = TestHelper.home + row.file;
        if (row.text)
            verify(TestHelper.writeFile(path, row.text));
        else if (!TestHelper.exists(path))
            verify(TestHelper.makeArchive(path, [TestHelper.home + "/in/docs"], ""));
        var before = Library.count;
        TestHelper.answerNextDialog(path);
        mouseClick(item("importButton"));
        tryVerify(function () { return item("toast").opacity > 0; });
        var expected = row.toast === "duplicate" ? Str.duplicate.arg("docs.zip") : Str[row.toast];
        compare(item("toast").text, expected);
        compare(Library.count, before + (row.added || 0));
    }

    SignalSpy { id: failures; target: PackController; signalName: "extractFailed" }
    SignalSpy { id: jobs; target: PackController; signalName: "isRunningChanged" }

    Component { id: rowComponent; SwipeRow { width: 390; shareEnabled: true; deleteEnabled: true } }
    SignalSpy { id: tapped; signalName: "tapped" }
    SignalSpy { id: deleted; signalName: "deleteRequested" }

    function makeRow() {
        var row = createTemporaryObject(rowComponent, stage);
        tapped.clear();
        tapped.target = row;
        deleted.clear();
        deleted.target = row;
        return row;
    }

    function test_release_data() {
        return [
            { tag: "40 px right snaps closed", distance: 40, offset: 0 },
            { tag: "50 px right snaps open on Share", distance: 50, offset: 84 },
            { tag: "50 px left snaps open on Delete", distance: -50, offset: -84 },
            { tag: "a long drag stops at the action", distance: 200, offset: 84 }
        ];
    }

    function test_release(row) {
        var swipeRow = makeRow();
        drag(swipeRow, 150, row.distance, 30);
        tryCompare(swipeRow, "offset", row.offset);
        compare(tapped.count, 0);
    }

    function test_tapOnAnOpenRowOnlyClosesIt() {
        var row = makeRow();
        drag(row, 200, -60, 30);
        tryCompare(row, "offset", -84);
        mouseClick(row, 100, 30);
        tryCompare(row, "offset", 0);
        compare(tapped.count, 0);
        mouseClick(row, 100, 30);
        compare(tapped.count, 1);
    }

    function test_deleteActsOnlyOnAFullyOpenRow() {
        var row = makeRow();
        row.offset = -60; // caught half-way, as during the snap
        tryCompare(row, "offset", -60);
        mouseClick(row, 390 - 10, 30);
        compare(deleted.count, 0);
        drag(row, 200, -60, 30);
        tryCompare(row, "offset", -84);
        mouseClick(row, 390 - 40, 30);
        compare(deleted.count, 1);
        tryCompare(row, "offset", 0);
    }

    function test_badge_data() {
        return [
            { tag: "package, upper case", file: "a.CFR", logo: true },
            { tag: "vault row without a dot", file: "README", vault: true, logo: true },
            { tag: "second name of a kind, upper case", file: "x.CSV", label: "XLS" },
            { tag: "no extension", file: "Makefile", label: "\u00b7\u00b7\u00b7" },
            { tag: "other, cut to four", file: "a.b.torrent", label: "TORR" },
            { tag: "tar.gz is gz", file: "a.tar.gz", label: "GZ" }
        ];
    }

    function test_badge(row) {
        var badge = row.vault ? Rules.vaultBadge(row.file)
                              : Rules.badgeFor(Rules.extensionOf(row.file));
        compare(badge.logo, row.logo === true);
        if (!badge.logo)
            compare(badge.label, row.label);
    }

    function test_clampKeepsDisabledSidesShut() {
        compare(Rules.clampOffset(60, false, true), 0);
        compare(Rules.clampOffset(-60, true, false), 0);
    }

    function test_extractionBase_data() {
        return [
            { tag: "cfr", name: "report.CFR", base: "report" },
            { tag: "zip", name: "a.b.zip", base: "a.b" },
            { tag: "only at the end", name: "a.zip.txt", base: "a.zip.txt" }
        ];
    }

    function test_extractionBase(row) {
        compare(Rules.extractionBase(row.name), row.base);
    }
}
}
