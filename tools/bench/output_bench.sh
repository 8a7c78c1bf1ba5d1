#!/usr/bin/env bash
# A frame's cost at a 1920 x 1080 output beside 800 x 600, on the real SDL
# platform under an Xvfb of that size, the swap unthrottled.
#   tools/bench/output_bench.sh [BUILD_DIR] [FRAMES]
set -euo pipefail
build=$(readlink -f "${1:-build}")
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -noreset -nolisten tcp -screen 0 1920x1080x24 -displayfd 3 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
cd "$build/run"
DISPLAY=":$(cat "$work/display")" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy vblank_mode=0 \
    "$build/tools/bench/output_bench" --frames "${2:-200}"
