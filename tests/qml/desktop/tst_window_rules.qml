import QtQuick 2.15
import QtTest 1.15
import "qrc:/Coffret/qml/PathRules.js" as PathRules
import "qrc:/Coffret/qml/WindowRules.js" as WindowRules

// The plain rules behind the window, one table per rule.
TestCase {
    name: "WindowRules"

    function kindBySuffix(path) {
        return /\.(cfr|zip|tar\.gz)$/i.test(path) ? "archive" : "unknown";
    }

    function test_classifyDrop_data() {
        return [
            {tag: "folder named like an archive", url: "file:///home/u/backup.cfr/",
             path: "/home/u/backup.cfr", action: "folder"},
            {tag: "upper-case package", url: "file:///home/u/SECRET.CFR",
             path: "/home/u/SECRET.CFR", action: "import"},
            {tag: "escaped name", url: "file:///home/u/My%20Notes.txt",
             path: "/home/u/My Notes.txt", action: "file"},
            {tag: "stray percent", url: "file:///home/u/100%.txt", path: "/home/u/100%.txt",
             action: "file"},
            {tag: "drive letter", url: "file:///C:/data/a.zip", path: "C:/data/a.zip",
             action: "import"},
            {tag: "web address", url: "https://example.org/a.zip",
             path: "https://example.org/a.zip", action: "skip"},
            {tag: "root", url: "file:///", path: "", action: "skip"}
        ];
    }

    function test_classifyDrop(row) {
        var entries = PathRules.classifyDrop([row.url], kindBySuffix);
        compare(entries.length, 1);
        compare(entries[0].path, row.path);
        compare(entries[0].action, row.action);
    }

    function test_withPackExtension_data() {
        return [
            {tag: "zip chosen as tar.gz", path: "/d/report.zip", ext: ".tar.gz",
             out: "/d/report.tar.gz"},
            {tag: "upper-case suffix", path: "/d/report.TAR.GZ", ext: ".tar.gz",
             out: "/d/report.tar.gz"},
            {tag: "no suffix", path: "/d/report", ext: ".cfr", out: "/d/report.cfr"},
            {tag: "only the last suffix", path: "/d/a.zip.cfr", ext: ".zip", out: "/d/a.zip.zip"},
            {tag: "foreign dot kept", path: "/d/v1.2", ext: ".7z", out: "/d/v1.2.7z"}
        ];
    }

    function test_withPackExtension(row) {
        compare(PathRules.withPackExtension(row.path, row.ext), row.out);
    }

    function test_extractionBaseName_data() {
        return [
            {tag: "double suffix", name: "photos.TAR.GZ", base: "photos"},
            {tag: "rar", name: "old.rar", base: "old"},
            {tag: "inner dots", name: "a.b.cfr", base: "a.b"},
            {tag: "not an archive", name: "notes.txt", base: "notes.txt"},
            {tag: "suffix only", name: ".cfr", base: ".cfr"}
        ];
    }

    function test_extractionBaseName(row) {
        compare(PathRules.extractionBaseName(row.name), row.base);
    }

    function test_fileNameAndFolder() {
        compare(PathRules.fileName("C:\\x\\y.cfr"), "y.cfr");
        compare(PathRules.folderOf("/home/u/y.cfr"), "/home/u");
    }

    function test_decisions() {
        verify(WindowRules.vaultPromptDue(0, false, false));
        verify(!WindowRules.vaultPromptDue(1, false, false));
        verify(!WindowRules.vaultPromptDue(0, false, true));
        verify(WindowRules.packNeedsPassword(true, true, false));
        verify(!WindowRules.packNeedsPassword(true, false, false));
        verify(!WindowRules.packNeedsPassword(false, false, true));
        compare(WindowRules.masterPasswordProblem("", ""), "empty");
        compare(WindowRules.masterPasswordProblem("a", "b"), "mismatch");
        compare(WindowRules.savedPasswordProblem("", "", "x"), "name");
        compare(WindowRules.savedPasswordProblem("n", "", "x"), "password");
        compare(WindowRules.savedPasswordProblem("n", "p", "x"), "mismatch");
        compare(WindowRules.savedPasswordProblem("n", "p", "p"), "");
    }
}
