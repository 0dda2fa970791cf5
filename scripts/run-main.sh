#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the project and runs the main job:
# the screen saver in its test window (Esc closes it). Without an X display
# it draws the sky of this moment offscreen into build/nocturo-now.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
scripts/build.sh release
if [ -z "${DISPLAY:-}" ]; then
    snapshot=(build/bin/nocturo-snapshot --frames 20 -o build/nocturo-now.png)
    if [ -f build/resources/moon_2048x1024.bmp ]; then
        snapshot+=(--texture build/resources/moon_2048x1024.bmp)
    fi
    "${snapshot[@]}"
    echo "No X display (DISPLAY is not set): the sky of now is drawn in $(pwd)/build/nocturo-now.png"
    echo "From a desktop session this command shows the saver in a window."
    exit 0
fi
# Until the installer has put its files in place, the saver shows the Moon
# pictures of this build and its settings dialog lists this build's cities
# (only values that are absent are written).
use_built_picture() {
    if ! build/bin/nocturo-settings get "$1" >/dev/null 2>&1 && [ -f "build/resources/$2" ]; then
        build/bin/nocturo-settings set "$1" --string "$(pwd)/build/resources/$2" >/dev/null ||
            echo "The path of build/resources/$2 is too long for its setting ($1); it is not used."
    fi
}
use_built_picture textures00 moon_2048x1024.bmp
use_built_picture textures01 moon_256x128.bmp
# Likewise the city files of this build, for the settings dialog.
use_built_picture places00 town_en
use_built_picture places01 town_ru
exec build/bin/Nocturo.scr /w "$@"
