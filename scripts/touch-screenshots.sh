#!/usr/bin/env bash
# Screenshots of the touch interface, taken from the real program on a private X server:
# the vault list, the pack sheet, the unlock sheet, the folder browser and the settings,
# in light and dark (through qt5ct's palette) and in English and Chinese.
# Usage: scripts/touch-screenshots.sh BUILD_DIR OUT_DIR   (needs Xvfb, xdotool, ImageMagick, zip,
# qt5ct); it writes one strip of the five screens per appearance and language.
set -euo pipefail

build=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$out"
work=$(mktemp -d)
app_pid=""
xvfb_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=":$((200 + RANDOM % 500))"
Xvfb "$display" -screen 0 800x900x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export QT_QUICK_BACKEND=software QT_QPA_PLATFORMTHEME=qt5ct COFFRET_MOBILE=
mkdir -p "$HOME/Documents" "$HOME/Work" "$HOME/Trip/Day 1" "$XDG_CONFIG_HOME/qt5ct" "$XDG_CONFIG_HOME/Mervale"
printf 'Quarterly figures\n' >"$HOME/Work/report.pdf"
printf 'region,total\nnorth,12\n' >"$HOME/Work/budget.xlsx"
printf 'Call the bank on Monday.\n' >"$HOME/Work/notes.txt"
head -c 180000 /dev/urandom >"$HOME/Trip/Day 1/beach.jpg"
head -c 240000 /dev/urandom >"$HOME/Trip/Day 1/sunset.png"
head -c 900000 /dev/urandom >"$HOME/Trip/harbour.mov"
printf 'Ferry at 9.\n' >"$HOME/Trip/plan.md"

click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.8}"; }
type_text() { xdotool type --delay 15 "$1"; sleep 0.3; }
shot() { sleep 0.6; import -window root "$work/root.png"; convert "$work/root.png" -crop 390x844+0+0 +repage "$work/$1.png"; }

# Answers the program's file chooser: a folder, then the names in it.
choose() {
    local folder=$1; shift
    for _ in $(seq 50); do [ "$(xdotool search --onlyvisible --name . | wc -l)" -gt 1 ] && break; sleep 0.2; done
    sleep 0.5
    type_text "$folder"; xdotool key Return; sleep 0.5
    type_text "$*"; xdotool key Return; sleep 1.2
}

start() { # theme lang
    if [ "$1" = dark ]; then
        printf '[Appearance]\ncustom_palette=true\ncolor_scheme_path=/usr/share/qt5ct/colors/darker.conf\n' >"$XDG_CONFIG_HOME/qt5ct/qt5ct.conf"
    else
        printf '[Appearance]\ncustom_palette=false\n' >"$XDG_CONFIG_HOME/qt5ct/qt5ct.conf"
    fi
    printf '[i18n]\nlangPref=%s\n' "$2" >"$XDG_CONFIG_HOME/Mervale/Coffret.conf"
    "$build/app/coffret" >/dev/null 2>&1 &
    app_pid=$!
    for _ in $(seq 50); do xdotool search --onlyvisible --name 'Coffret|珂匣' >/dev/null 2>&1 && break; sleep 0.2; done
    sleep 1.5
}

stop() { kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""; }

# Where things are in the 390 x 844 window.
new_package() { click 195 799; }
row() { click 195 $((133 + 66 * $1)) 1.5; }
back() { click 26 27; }

# A library to show: two packages made through the interface and an imported zip, opened once.
start light en
new_package
choose "$HOME/Work" '"report.pdf" "budget.xlsx" "notes.txt"'
click 195 673; type_text "harbour-7"; click 195 791 4
(cd "$HOME" && zip -qr "$work/Trip.zip" Trip)
click 320 27
choose "$work" '"Trip.zip"'
row 1; back
new_package
choose "$HOME/Trip" '"plan.md"'
click 38 732; click 195 791 4
stop

for theme in light dark; do
    for lang in en zh; do
        start "$theme" "$lang"
        shot "vault-$theme-$lang"
        new_package
        choose "$HOME/Work" '"report.pdf" "budget.xlsx" "notes.txt"'
        click 38 732
        shot "pack-$theme-$lang"
        xdotool key Escape; sleep 0.8
        row 0
        click 195 725; type_text "not-it"; xdotool key Return; sleep 3
        shot "unlock-$theme-$lang"
        xdotool key Escape; sleep 0.8
        row 1; click 195 140 1.2
        shot "browser-$theme-$lang"
        back; back
        click 364 27
        shot "settings-$theme-$lang"
        stop
        # One strip per appearance and language, at half size.
        montage "$work"/{vault,pack,unlock,browser,settings}-"$theme-$lang".png -tile 5x1 \
            -geometry 195x422+4+4 -colors 256 "PNG8:$out/touch-$theme-$lang.png"
    done
done
