#!/usr/bin/env bash
# Configures and builds one build tree.
#   scripts/build.sh            release build in build/
#   scripts/build.sh sanitize   ASan + UBSan build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-release}" in
    release)  dir=build;          options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    sanitize) dir=build-sanitize; options=(-DCMAKE_BUILD_TYPE=Debug -DNOCTURO_SANITIZE=ON) ;;
    *) echo "usage: scripts/build.sh [release|sanitize]" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
