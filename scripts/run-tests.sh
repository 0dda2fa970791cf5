#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and runs every test: the
# decoder's fuzz target for a bounded time, the whole suite on the release
# build (display tests under Xvfb), then the tests that need no display on
# the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
scripts/build.sh release
scripts/build.sh sanitize

# The pack decoder, the Moon picture reader, the store parser and the city
# file loader against damaged input (libFuzzer), each for a bounded time.
scripts/fuzz.sh 15

export CTEST_OUTPUT_ON_FAILURE=1
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
    ctest --test-dir build -j "$(nproc)" --timeout 300
ctest --test-dir build-sanitize -L unit -j "$(nproc)" --timeout 300
