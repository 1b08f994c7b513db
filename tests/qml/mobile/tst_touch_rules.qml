import QtQuick 2.15
import QtTest 1.15
import "qrc:/Coffret/qml/TouchRules.js" as Rules

// The touch interface's decisions on their own: badges, which sides a row may open, and the
// extraction folder's name. Snapping is driven by real drags in tst_swipe_row, the picker's
// height by real rows in tst_vault.
TestCase {
    name: "TouchRules"

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
