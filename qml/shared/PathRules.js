.pragma library

// Rules that turn what the user hands over (dropped URLs, chosen names) into paths.

// Suffixes an extraction folder's name loses, longest first so ".tar.gz" wins over ".gz".
var archiveSuffixes = [".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".cfr", ".zip", ".rar",
                       ".7z", ".tar", ".gz", ".bz2", ".xz", ".zst"];
// Suffixes a chosen destination loses before the chosen format's own is put on.
var packSuffixes = [".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".cfr", ".zip", ".7z",
                    ".tar", ".gz", ".bz2", ".xz", ".zst"];

function isFileUrl(url) {
    return String(url).indexOf("file://") === 0;
}

// A "file://" URL as a local path ("file:///C:/x" as "C:/x"); any other text as it stands.
function pathFromUrl(url) {
    var text = String(url);
    if (!isFileUrl(text))
        return text;
    text = text.substring(7);
    if (/^\/[A-Za-z]:/.test(text))
        text = text.substring(1);
    try {
        return decodeURIComponent(text);
    } catch (malformed) {
        // A stray "%" that starts no escape: the name is taken literally.
        return text;
    }
}

function stripTrailingSeparators(path) {
    return path.replace(/[\/\\]+$/, "");
}

function fileName(path) {
    var cut = Math.max(path.lastIndexOf("/"), path.lastIndexOf("\\"));
    return path.substring(cut + 1);
}

function folderOf(path) {
    var cut = Math.max(path.lastIndexOf("/"), path.lastIndexOf("\\"));
    return cut < 0 ? "" : path.substring(0, cut);
}

function matchingSuffix(text, suffixes) {
    var lower = text.toLowerCase();
    for (var i = 0; i < suffixes.length; ++i) {
        var s = suffixes[i];
        if (lower.length >= s.length && lower.substring(lower.length - s.length) === s)
            return s;
    }
    return "";
}

// The name an archive's extraction folder gets; a name that is only a suffix stays whole.
function extractionBaseName(name) {
    var suffix = matchingSuffix(name, archiveSuffixes);
    var base = name.substring(0, name.length - suffix.length);
    return base.length > 0 ? base : name;
}

// The chosen destination with the chosen format's extension in place of any archive suffix.
function withPackExtension(path, ext) {
    var suffix = matchingSuffix(path, packSuffixes);
    return path.substring(0, path.length - suffix.length) + ext;
}

// What to do with each dropped URL, in order: {path, action} where action is "import" (an
// archive for the vault), "folder" or "file" (for the Pack list), or "skip" (not local).
// kindOf(path) names the archive kind of a path, "unknown" for anything else.
function classifyDrop(urls, kindOf) {
    var entries = [];
    for (var i = 0; i < urls.length; ++i) {
        var raw = String(urls[i]);
        var path = stripTrailingSeparators(pathFromUrl(raw));
        var action;
        if (!isFileUrl(raw) || path.length === 0)
            action = "skip";
        else if (/[\/\\]$/.test(raw))
            action = "folder";
        else if (kindOf(path) !== "unknown")
            action = "import";
        else
            action = "file";
        entries.push({"path": path, "action": action});
    }
    return entries;
}
