#!/usr/bin/env bash
# CPU share of the full-screen saver against a peer hack in the same run: on
# a fresh Xvfb screen of each size, runs `Nocturo.scr s` and then the peer
# (`glplanet -root`, from Debian's xscreensaver-gl-extra), three times in
# turn, and prints the processor time each used as a share of one core
# (Mesa's software renderer threads included). With --memory it also prints
# the time from start to the saver's first frame and its resident set after
# a minute.
#   benchmarks/saver_cpu_share.sh [--memory] [seconds] [WxH ...]
#   (defaults: 10 seconds, 1920x1080 3840x2160)
# The peer is only for this benchmark: apt-get install xscreensaver-gl-extra.
set -euo pipefail
cd "$(dirname "$0")/.."

memory=0
if [ "${1:-}" = "--memory" ]; then
    memory=1
    shift
fi
seconds="${1:-10}"
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080 3840x2160)

saver=build/bin/Nocturo.scr
probe=build/bin/first_frame_probe
settings=build/bin/nocturo-settings
picture=build/resources/moon_2048x1024.bmp
peer=/usr/libexec/xscreensaver/glplanet
for needed in "$saver" "$probe" "$settings" "$picture"; do
    [ -e "$needed" ] || { echo "build the project first: $needed is missing" >&2; exit 1; }
done
[ -x "$peer" ] || { echo "no peer: apt-get install xscreensaver-gl-extra" >&2; peer=""; }

# A settings store of its own with the built Moon picture; the user's
# settings play no part and are never touched.
store=$(mktemp -d /tmp/nocturo-cpu-share-XXXXXX)
export NOCTURO_SETTINGS_DIR="$store/registry"
"$settings" set textures00 --string "$PWD/$picture" >/dev/null
"$settings" set Latitude --double 51.5 >/dev/null
"$settings" set Longitude --double 0 >/dev/null

xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$store"
}
trap cleanup EXIT

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# share PID: the CPU share of one core over `seconds`, after a second of start-up.
share() {
    local pid=$1
    sleep 1
    local start end
    start=$(ticks "$pid")
    sleep "$seconds"
    end=$(ticks "$pid")
    awk -v a="$start" -v b="$end" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * (b - a) / hz / s }'
}

stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for size in "${sizes[@]}"; do
    # Xvfb picks a free display number and writes it to the pipe.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -br 3>"$store/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do
        [ -s "$store/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$store/display")"
    printf '%s, %d s each:\n' "$size" "$seconds"
    for run in 1 2 3; do
        "$saver" s &
        nocturo=$(share $!)
        stop $!
        peerShare="-"
        if [ -n "$peer" ]; then
            "$peer" -root &
            peerShare=$(share $!)
            stop $!
        fi
        printf '  run %d: Nocturo.scr s %5s %%   glplanet -root %5s %% of one core\n' \
            "$run" "$nocturo" "$peerShare"
    done
    if [ "$memory" = 1 ]; then
        # The first frame paints the sky colour at the top middle of the screen.
        width=${size%x*}
        "$probe" $((width / 2)) 1 050a1e "$saver" s >"$store/first" 2>"$store/pid" || true
        pid=$(head -n1 "$store/pid")
        first=$(cat "$store/first")
        sleep 60
        rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
        stop "$pid"
        printf '  start to first frame %s s, resident set after 60 s %d MiB\n' \
            "${first:-(not seen)}" $((rss / 1024))
    fi
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
done
echo "load average afterwards $(cut -d' ' -f1-3 /proc/loadavg)"
