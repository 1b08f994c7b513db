import QtQuick 2.15
import QtTest 1.15
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The touch interface's decisions on their own: badges, snapping, the picker's height, the
// order in which a new saved password is checked, and the extraction folder's name.
TestCase {
    name: "TouchRules"

    function test_badge_data() {
        return [
            { tag: "package", file: "a.CFR", logo: true, label: "", color: "" },
            { tag: "vault row without a dot", file: "README", vault: true, logo: true },
            { tag: "zip", file: "x.zip", label: "ZIP", color: "#7d8590" },
            { tag: "rar", file: "x.rar", label: "RAR", color: "#9b59d0" },
            { tag: "7z", file: "x.7Z", label: "7Z", color: "#7d8590" },
            { tag: "pdf", file: "x.pdf", label: "PDF", color: "#ff3b30" },
            { tag: "docx", file: "x.docx", label: "DOC", color: "#2b6cff" },
            { tag: "csv", file: "x.csv", label: "XLS", color: "#1f9e55" },
            { tag: "pptx", file: "x.pptx", label: "PPT", color: "#e8682c" },
            { tag: "log", file: "x.log", label: "TXT", color: "#8e8e93" },
            { tag: "heic", file: "x.heic", label: "IMG", color: "#34c759" },
            { tag: "m4v", file: "x.m4v", label: "VID", color: "#ff2d55" },
            { tag: "flac", file: "x.flac", label: "AUD", color: "#ff9500" },
            { tag: "no extension", file: "Makefile", label: "\u00b7\u00b7\u00b7", color: "#8e8e93" },
            { tag: "other, cut to four", file: "a.b.torrent", label: "TORR", color: "#8e8e93" },
            { tag: "tar.gz is gz", file: "a.tar.gz", label: "GZ", color: "#8e8e93" }
        ];
    }

    function test_badge(row) {
        var badge = row.vault ? Rules.vaultBadge(row.file)
                              : Rules.badgeFor(Rules.extensionOf(row.file));
        compare(badge.logo, row.logo === true);
        if (!badge.logo) {
            compare(badge.label, row.label);
            compare(badge.color, row.color);
        }
    }

    function test_snap_data() {
        return [
            { tag: "40 closes", offset: 40, snapped: 0 },
            { tag: "42 closes", offset: 42, snapped: 0 },
            { tag: "50 opens share", offset: 50, snapped: 84 },
            { tag: "-43 opens delete", offset: -43, snapped: -84 },
            { tag: "-40 closes", offset: -40, snapped: 0 }
        ];
    }

    function test_snap(row) {
        compare(Rules.snapOffset(row.offset), row.snapped);
    }

    function test_clampFollowsTheEnabledSides() {
        compare(Rules.clampOffset(200, true, true), 84);
        compare(Rules.clampOffset(-200, true, true), -84);
        compare(Rules.clampOffset(60, false, true), 0);
        compare(Rules.clampOffset(-60, true, false), 0);
    }

    function test_pickerHeight_data() {
        return [
            { tag: "two rows fit", rows: 2, parent: 844, height: 70 + 120 + 28 },
            { tag: "twenty rows stop at 70 %", rows: 20, parent: 844, height: 844 * 0.7 },
            { tag: "none", rows: 0, parent: 844, height: 98 }
        ];
    }

    function test_pickerHeight(row) {
        compare(Rules.pickerHeight(row.rows, row.parent), row.height);
    }

    function test_extractionBase_data() {
        return [
            { tag: "cfr", name: "report.CFR", base: "report" },
            { tag: "zip", name: "a.b.zip", base: "a.b" },
            { tag: "rar", name: "x.Rar", base: "x" },
            { tag: "7z kept", name: "x.7z", base: "x.7z" },
            { tag: "only at the end", name: "a.zip.txt", base: "a.zip.txt" }
        ];
    }

    function test_extractionBase(row) {
        compare(Rules.extractionBase(row.name), row.base);
    }
}
