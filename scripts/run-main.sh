#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the project and runs the main job:
# the screen saver in its test window (Esc closes it).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
scripts/build.sh release
if [ -z "${DISPLAY:-}" ]; then
    echo "run-main.sh: the saver needs an X display, and DISPLAY is not set." >&2
    echo "Run this from a desktop session, or e.g.: xvfb-run -a scripts/run-main.sh" >&2
    exit 1
fi
exec build/bin/Nocturo.scr /w "$@"
