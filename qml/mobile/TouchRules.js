.pragma library

// The touch interface's decisions, kept out of the documents so they can be tested alone.

// How far a row's foreground slides to bare its action, and where a release snaps open.
var actionWidth = 84;
// A drag from the left edge that travels further than this goes back one level.
var backSwipeDistance = 55;
var backSwipeEdge = 24;

var badges = [
    [["zip"], "ZIP", "#7d8590"],
    [["rar"], "RAR", "#9b59d0"],
    [["7z"], "7Z", "#7d8590"],
    [["pdf"], "PDF", "#ff3b30"],
    [["doc", "docx"], "DOC", "#2b6cff"],
    [["xls", "xlsx", "csv"], "XLS", "#1f9e55"],
    [["ppt", "pptx"], "PPT", "#e8682c"],
    [["txt", "md", "rtf", "log"], "TXT", "#8e8e93"],
    [["jpg", "jpeg", "png", "gif", "heic", "webp", "bmp"], "IMG", "#34c759"],
    [["mp4", "mov", "avi", "mkv", "m4v"], "VID", "#ff2d55"],
    [["mp3", "wav", "m4a", "flac", "aac"], "AUD", "#ff9500"]
];

// "" for a name without a dot.
function extensionOf(name) {
    var dot = name.lastIndexOf(".");
    return dot < 0 ? "" : name.slice(dot + 1).toLowerCase();
}

// The chip in front of a file: { logo: true } for our own packages, else a label on a colour.
function badgeFor(extension) {
    var ext = extension.toLowerCase();
    if (ext === "cfr")
        return { logo: true, label: "", color: "" };
    if (ext === "")
        return { logo: false, label: "\u00b7\u00b7\u00b7", color: "#8e8e93" };
    for (var i = 0; i < badges.length; ++i) {
        if (badges[i][0].indexOf(ext) >= 0)
            return { logo: false, label: badges[i][1], color: badges[i][2] };
    }
    return { logo: false, label: ext.slice(0, 4).toUpperCase(), color: "#8e8e93" };
}

// Vault rows are packages: a name without a dot is one of ours.
function vaultBadge(name) {
    return badgeFor(extensionOf(name) || "cfr");
}

function clampOffset(offset, shareEnabled, deleteEnabled) {
    var low = deleteEnabled ? -actionWidth : 0;
    var high = shareEnabled ? actionWidth : 0;
    return Math.max(low, Math.min(high, offset));
}

function snapOffset(offset) {
    if (offset < -actionWidth / 2)
        return -actionWidth;
    if (offset > actionWidth / 2)
        return actionWidth;
    return 0;
}

function isBackSwipe(startX, distance) {
    return startX <= backSwipeEdge && distance > backSwipeDistance;
}

// A short list shows whole; a long one stops at 70 % of the screen and scrolls.
function pickerHeight(rows, parentHeight) {
    return Math.min(70 + rows * 60 + 28, parentHeight * 0.7);
}

// The key of the first problem of a new saved password, "" when it can be stored.
function passwordEntryProblem(name, password, confirmation) {
    if (name.trim().length === 0)
        return "nameRequired";
    if (password.length === 0)
        return "pwdRequired";
    if (password !== confirmation)
        return "pwdMismatch";
    return "";
}

// The folder an archive is extracted into is named after it, without the archive suffix.
function extractionBase(fileName) {
    return fileName.replace(/\.(cfr|zip|rar)$/i, "");
}

function packBaseName(appName, when) {
    return appName + "_" + Qt.formatDateTime(when, "yyyyMMdd_hhmmss");
}

function matchesSearch(name, text) {
    return name.toLowerCase().indexOf(text.toLowerCase()) >= 0;
}
