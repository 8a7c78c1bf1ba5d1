#!/usr/bin/env bash
# Start-up time under Xvfb: from process start to the first frame on screen,
# for marivelt and for a bare SDL program that opens the same window and
# context and swaps once. Prints the median of RUNS starts of each.
#   tools/bench/startup_time.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(readlink -f "${1:?usage: startup_time.sh BUILD_DIR [RUNS]}")
runs=${2:-15}
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -noreset -screen 0 800x600x16 -displayfd 3 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy vblank_mode=0

median() { sort -n "$1" | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

measure() {  # name, then the command, run in the run folder
    local name=$1; shift
    for _ in $(seq "$runs"); do
        (cd "$build/run" && MARIVELT_PROBE_OUT="$work/$name" MARIVELT_PROBE_START_NS=$(date +%s%N) \
            LD_PRELOAD="$build/tools/bench/libfirst_swap_probe.so" timeout 20 "$@" >/dev/null 2>&1) || true
    done
    [[ -s "$work/$name" ]] || { echo "$name: no frame reached the screen"; exit 1; }
    printf '%-12s median %7.2f ms over %d starts\n' "$name" "$(median "$work/$name")" "$(wc -l <"$work/$name")"
}

measure bare_sdl "$build/tools/bench/bare_sdl_start"
measure marivelt "$build/run/marivelt"
