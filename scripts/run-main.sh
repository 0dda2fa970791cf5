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
exec build/bin/Nocturo.scr /w "$@"
