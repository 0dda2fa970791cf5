#!/usr/bin/env bash
# Builds the Debian package nocturo_<version>_amd64.deb from the release tree.
#   scripts/build-deb.sh [OUTPUT_DIR]    (default: build/)
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-build}")
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target nocturo_scr nocturo-sky nocturo-snapshot \
    nocturo-settings moon_pictures install_files
mkdir -p "$out"
(cd build && cpack -G DEB -B "$out" >/dev/null)
ls "$out"/nocturo_*_amd64.deb
