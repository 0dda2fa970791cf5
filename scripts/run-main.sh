#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the project and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
scripts/build.sh release
exec build/bin/nocturo-sky "$@"
