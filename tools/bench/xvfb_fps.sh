#!/usr/bin/env bash
# Frames per second of each scene of the real program under Xvfb, unthrottled
# (vblank_mode=0), counted by the preloaded swap probe while SPACE steps
# through the scenes.
#   tools/bench/xvfb_fps.sh BUILD_DIR [SECONDS_PER_SCENE]
set -euo pipefail
build=$(readlink -f "${1:?usage: xvfb_fps.sh BUILD_DIR [SECONDS_PER_SCENE]}")
seconds=${2:-5}
work=$(mktemp -d)
program=""
cleanup() {
    [[ -n "$program" ]] && kill -KILL "$program" 2>/dev/null
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -noreset -screen 0 800x600x16 -displayfd 3 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy vblank_mode=0

(cd "$build/run" && MARIVELT_PROBE_COUNT_OUT="$work/swaps" \
    LD_PRELOAD="$build/tools/bench/libfirst_swap_probe.so" exec ./marivelt >/dev/null 2>&1) &
program=$!
for _ in $(seq 100); do [[ -s "$work/swaps" ]] && break; sleep 0.1; done
window=$(xdotool search --sync --onlyvisible --pid "$program" | head -1)

# Last "swaps nanoseconds" line of the log.
mark() { tail -1 "$work/swaps"; }
for scene in WATER FIRE EARTH WIND; do
    sleep 1  # let the scene settle after the change
    read -r swaps0 time0 < <(mark)
    sleep "$seconds"
    read -r swaps1 time1 < <(mark)
    awk -v s="$scene" -v n=$((swaps1 - swaps0)) -v t0="$time0" -v t1="$time1" \
        'BEGIN { printf "%-6s %7.1f frames/s under Xvfb\n", s, n / ((t1 - t0) / 1e9) }'
    xdotool keydown --window "$window" space; sleep 0.2; xdotool keyup --window "$window" space
done
kill -KILL "$program" 2>/dev/null || true
