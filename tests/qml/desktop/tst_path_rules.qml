import QtQuick 2.15
import QtTest 1.15
import "qrc:/Coffret/qml/PathRules.js" as PathRules

// The path rules behind the window, for the inputs the window tests do not reach.
TestCase {
    name: "PathRules"

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

    function test_names_data() {
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

    function test_names(row) {
        compare(row.out, row.expected);
    }
}
