#!/usr/bin/env bash
# Remakes the screenshots of the settings dialog and the About box in docs/
# (English and Russian) from the built Nocturo.scr under Xvfb, with a
# temporary settings store that points at this build's city files.
# Usage: scripts/dialog-screenshots.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
xvfb=
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export NOCTURO_SETTINGS_DIR=$work/registry TZ=Europe/Paris
settings=$build/bin/nocturo-settings
"$settings" set places00 --string "$(pwd)/$build/resources/town_en" >/dev/null
"$settings" set places01 --string "$(pwd)/$build/resources/town_ru" >/dev/null

# Waits for a window with this exact title and prints its id.
window_titled() {
    for _ in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return
        fi
        sleep 0.2
    done
    echo "no window titled '$1'" >&2
    exit 1
}

# Saves a window's picture; a window that is not drawn yet (a picture of
# one or two colours) is taken again.
save_window() {
    for _ in $(seq 40); do
        # From the screen, cut to the window (import hangs on a window with a
        # Cyrillic title).
        eval "$(xdotool getwindowgeometry --shell "$1")"
        if import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2" 2>/dev/null &&
            [ "$(identify -format %k "$2")" -gt 8 ]; then
            return
        fi
        sleep 0.3
    done
    echo "cannot take a picture of window $1" >&2
    exit 1
}

shoot() {  # language value, suffix, settings title, About title
    # A fresh display for each language, so nothing of the last run stays.
    export DISPLAY=:$((RANDOM % 400 + 100))
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    "$settings" set Language --int32 "$1" >/dev/null
    "$build/bin/Nocturo.scr" c &
    saver=$!
    dialog=$(window_titled "$3")
    sleep 1
    save_window "$dialog" "docs/settings-dialog-$2.png"
    # The About button sits at the dialog's bottom left.
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    xdotool mousemove $((X + 30)) $((Y + HEIGHT - 25)) click 1
    about=$(window_titled "$4")
    sleep 1
    save_window "$about" "docs/about-box-$2.png"
    # The key's release goes to a window that has closed: its error is no fault.
    xdotool key --window "$about" Escape 2>/dev/null || true
    sleep 0.5
    xdotool key --window "$dialog" Escape 2>/dev/null || true
    status=0
    wait "$saver" || status=$?
    if [ "$status" -ne 2 ]; then
        echo "the dialog ended with $status, not 2 (Escape)" >&2
        exit 1
    fi
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    xvfb=
}

shoot 0 en " Nocturo" 'About "Nocturo"'
shoot 1 ru ' Параметры заставки "Nocturo"' 'О заставке "Nocturo"'
echo "made docs/settings-dialog-{en,ru}.png and docs/about-box-{en,ru}.png"
