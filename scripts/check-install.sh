#!/usr/bin/env bash
# Checks that Coffret installs like a Debian desktop application, with tools nobody here
# wrote: the freedesktop validators on the desktop files; lintian on the .deb, whose files
# must be where the desktop files say; `make install` into a DESTDIR and into a throw-away
# prefix, and the installed program run from both under Xvfb; the .cfr type through xdg-mime
# and the menu entry through gio. Runs after `make test`, whose build and tst_program_xvfb it
# reuses.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
work=$(mktemp -d)
started=() # processes to end when a check fails halfway
trap 'for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$work"' EXIT

fail() {
    echo "check-install: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

# Polls a command for up to a minute: the program under Xvfb on a busy machine takes its time.
eventually() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# Every file a desktop file names, in the tree of one prefix (".../usr" or a throw-away one).
check_layout() {
    local usr=$1 entry=$1/share/applications/coffret.desktop
    [ -f "$entry" ] || fail "$entry is missing"
    local exec icon png size
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$usr/bin/$exec" ] || fail "Exec=$exec is not in $usr/bin"
    [ -f "$usr/share/coffret/translations/Coffret_zh_CN.qm" ] || fail "no translation in $usr"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48x48 icon $icon"
    for png in "$usr"/share/icons/hicolor/*/apps/"$icon".png; do
        size=$(basename "$(dirname "$(dirname "$png")")")
        [ "$(identify -format %wx%h "$png")" = "$size" ] || fail "$png is not $size"
    done
    for type in $(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' '); do
        grep -qs "type=\"$type\"" "$usr"/share/mime/packages/coffret.xml ||
            [ -f "/usr/share/mime/$type.xml" ] || fail "MimeType $type is defined nowhere"
    done
    local metainfo
    metainfo=$(ls "$usr"/share/metainfo/*.metainfo.xml)
    grep -q "<launchable type=\"desktop-id\">coffret.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch coffret.desktop"
    grep -q "<binary>$exec</binary>" "$metainfo" || fail "the metainfo names another binary"
    for doc in man/man1/coffret.1.gz doc/coffret/copyright doc/coffret/changelog.gz; do
        [ -f "$usr/share/$doc" ] || fail "$usr/share/$doc is missing"
    done
}

step "the Debian package"
make -s deb BUILD_DIR="$build" >"$work/cpack.log" || { cat "$work/cpack.log"; exit 1; }
deb=$(realpath "$build"/coffret_*.deb)
lintian --fail-on error --display-level '>=warning' "$deb" || fail "lintian finds errors"
dpkg-deb -f "$deb" Package Version Section Priority Depends Recommends
# Every dependency is a real package this Debian satisfies (a simulation changes nothing).
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" ||
    { cat "$work/apt.log"; fail "the package does not install"; }
dpkg -x "$deb" "$work/deb"
check_layout "$work/deb/usr"

step "desktop entry, AppStream metadata and MIME package"
desktop-file-validate "$work/deb/usr/share/applications/coffret.desktop"
appstreamcli validate --no-net "$work"/deb/usr/share/metainfo/*.metainfo.xml
xmllint --noout "$work/deb/usr/share/mime/packages/coffret.xml"

step "make install into a DESTDIR and into a throw-away prefix"
make -s install BUILD_DIR="$build" DESTDIR="$work/root" CMAKE_INSTALL_PREFIX=/usr >/dev/null
make -s install BUILD_DIR="$build" CMAKE_INSTALL_PREFIX="$work/prefix" >/dev/null
check_layout "$work/root/usr"
check_layout "$work/prefix"

step "the installed program under Xvfb"
for usr in "$work/root/usr" "$work/prefix"; do
    COFFRET_PROGRAM="$usr/bin/coffret" "$build/tests/app/tst_program_xvfb" -silent \
        zipWithoutPrompt packageWithRandomPasswordFromTheClipboard
done

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
started+=($!)
eventually test -s "$work/display" || fail "Xvfb does not start"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_LOGGING_RULES="default.debug=true"
unset COFFRET_MOBILE CFR_P7ZIP_LIB
mkdir -p "$HOME"

window_count() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
has_windows() { [ "$(window_count "$1")" -ge "$2" ]; }
close_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1"); do
        kill "$(xdotool getwindowpid "$id")"
    done
}

# A plugin shipped in the prefix's lib/coffret wins; without one, p7zip's is used.
mkdir -p "$work/prefix/lib/coffret"
cp /usr/lib/p7zip/7z.so "$work/prefix/lib/coffret/7z.so"
for pair in "$work/root/usr|/usr/lib/p7zip/7z.so" "$work/prefix|$work/prefix/lib/coffret/7z.so"; do
    usr=${pair%|*} plugin=${pair#*|} dir=$work/7z-$(basename "$usr")
    mkdir -p "$dir/out"
    echo "a note" >"$dir/note.txt"
    (cd "$dir" && 7z a -bd -bso0 plain.7z note.txt)
    "$usr/bin/coffret" -x "$dir/out" "$dir/plain.7z" 2>"$dir/log" &
    job=$!
    started+=("$job")
    eventually grep -qF "$plugin" "/proc/$job/maps" || fail "$usr/bin/coffret did not load $plugin"
    eventually test -f "$dir/out/plain/note.txt" || fail "$usr/bin/coffret did not extract 7z"
    grep -qF "Application translations loaded from: $usr/share/coffret/translations" "$dir/log" ||
        fail "$usr/bin/coffret did not load its installed translation"
    eventually has_windows '^Coffret$' 1 || fail "no result window"
    kill "$job"
    wait "$job" || true
done

step "the .cfr type through xdg-mime, the menu entry through gio"
data=$work/xdg
export XDG_DATA_HOME="$data" PATH="$work/deb/usr/bin:$PATH"
mkdir -p "$data/mime/packages" "$data/applications" "$work/files"
cp "$work/deb/usr/share/mime/packages/coffret.xml" "$data/mime/packages/"
cp "$work/deb/usr/share/applications/coffret.desktop" "$data/applications/"
update-mime-database "$data/mime" 2>"$work/mime.log"
[ ! -s "$work/mime.log" ] || { cat "$work/mime.log"; fail "update-mime-database complains"; }
update-desktop-database "$data/applications"
# A package as 7-Zip writes one: a zip holding one AES-256-encrypted zip.
(cd "$work/files" && echo "a note" >note.txt && zip -q 0123456789abcdef.zip note.txt &&
    7z a -bd -bso0 -tzip -mem=AES256 -ppw box.cfr 0123456789abcdef.zip &&
    cp box.cfr renamed.zip)
[ "$(xdg-mime query filetype "$work/files/box.cfr")" = application/x-coffret-package ] ||
    fail "xdg-mime does not know the .cfr type"
[ "$(xdg-mime query filetype "$work/files/renamed.zip")" = application/zip ] ||
    fail "xdg-mime does not take the renamed package for a zip"
[[ "$(gio info -a standard::icon "$work/files/box.cfr")" == *"standard::icon: coffret,"* ]] ||
    fail "a .cfr file does not show the program's icon"
for type in application/x-coffret-package application/zip; do
    [ "$(xdg-mime query default "$type")" = coffret.desktop ] ||
        fail "coffret.desktop does not open $type"
done
# Each file opened from the file manager is a job of its own, and the renamed package is
# known by its content: both ask for a password, in Chinese.
gio launch "$data/applications/coffret.desktop" "$work/files/box.cfr" \
    "$work/files/renamed.zip" 2>/dev/null
asked=0
eventually has_windows '^密码$' 2 || asked=$?
close_windows '^密码$'
[ "$asked" -eq 0 ] || fail "opening two packages did not ask for two passwords"
echo "check-install: all passed"
