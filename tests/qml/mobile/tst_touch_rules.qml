import QtQuick 2.15
import QtTest 1.15
import "qrc:/Coffret/qml"
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The touch interface's rules: a row dragged with the mouse (where it settles, what a tap on
// it does, when its actions act), which sides a row may open, badges, and the extraction
// folder's name. The picker's height is checked with real rows in tst_vault.
Item {
    id: stage

    width: 390
    height: 200

TestCase {
    id: testCase

    name: "TouchRules"
    when: windowShown

    Component {
        id: rowComponent

        SwipeRow {
            width: 390
            shareEnabled: true
            deleteEnabled: true
        }
    }

    SignalSpy {
        id: tapped

        signalName: "tapped"
    }

    SignalSpy {
        id: deleted

        signalName: "deleteRequested"
    }

    function makeRow() {
        var row = createTemporaryObject(rowComponent, stage);
        tapped.clear();
        tapped.target = row;
        deleted.clear();
        deleted.target = row;
        return row;
    }

    function drag(row, from, distance) {
        mousePress(row, from, 30);
        for (var step = 1; step <= 5; ++step)
            mouseMove(row, from + distance * step / 5, 30, -1, Qt.LeftButton);
        mouseRelease(row, from + distance, 30);
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
        drag(swipeRow, 150, row.distance);
        tryCompare(swipeRow, "offset", row.offset);
        compare(tapped.count, 0);
    }

    function test_tapOnAnOpenRowOnlyClosesIt() {
        var row = makeRow();
        drag(row, 200, -60);
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
        drag(row, 200, -60);
        tryCompare(row, "offset", -84);
        mouseClick(row, 390 - 40, 30);
        compare(deleted.count, 1);
        tryCompare(row, "offset", 0);
    }

    function test_badge_data() {
        return [
            { tag: "package, upper case", file: "a.CFR", logo: true },
            { tag: "vault row without a dot", file: "README", vault: true, logo: true },
            { tag: "upper-case extension", file: "x.7Z", label: "7Z" },
            { tag: "second name of a kind", file: "x.csv", label: "XLS" },
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

    function test_clampFollowsTheEnabledSides() {
        compare(Rules.clampOffset(-200, true, true), -84);
        compare(Rules.clampOffset(60, false, true), 0);
        compare(Rules.clampOffset(-60, true, false), 0);
    }

    function test_extractionBase_data() {
        return [
            { tag: "cfr", name: "report.CFR", base: "report" },
            { tag: "zip", name: "a.b.zip", base: "a.b" },
            { tag: "7z kept", name: "x.7z", base: "x.7z" },
            { tag: "only at the end", name: "a.zip.txt", base: "a.zip.txt" }
        ];
    }

    function test_extractionBase(row) {
        compare(Rules.extractionBase(row.name), row.base);
    }
}
}
