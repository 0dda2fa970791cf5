#!/usr/bin/env bash
# CPU share of the full-screen saver: runs `Nocturo.scr /s` on a fresh Xvfb
# screen for a while and prints the processor time it used as a share of one
# core (Mesa's software renderer threads included).
#   benchmarks/saver_cpu_share.sh [seconds] [WxH]     (defaults: 10, 1920x1080)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-10}"
size="${2:-1920x1080}"
saver=build/bin/Nocturo.scr
[ -x "$saver" ] || { echo "build the project first: $saver is missing" >&2; exit 1; }

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1

DISPLAY="$display" "$saver" /s &
pid=$!
sleep 1  # start-up (reading the picture, building the textures) is not counted
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
start=$(ticks)
sleep "$seconds"
end=$(ticks)
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

hz=$(getconf CLK_TCK)
awk -v a="$start" -v b="$end" -v hz="$hz" -v s="$seconds" -v size="$size" \
    'BEGIN { printf "Nocturo.scr /s at %s: %.1f %% of one core over %d s\n", size, 100 * (b - a) / hz / s, s }'
