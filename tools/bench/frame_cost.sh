#!/bin/sh
# frame_cost.sh — where a frame's instructions go: Marivelt's own code
# (RenderFrame, the scenes, DrawMound, DrawGlyphText…, all linked into
# frame_bench) against Mesa, GLU and the C library. Runs frame_bench under
# callgrind, collecting only its timed frame loops (not start-up, not the
# warm-up frames in which the driver compiles its code), and sums the
# instructions of each object file.
#
#   tools/bench/frame_cost.sh [BUILD_DIR] [FRAMES_PER_SCENE]
#
# BUILD_DIR defaults to ./build, FRAMES_PER_SCENE to 75 (300 frames in all).
set -eu

build=${1:-build}
frames=${2:-75}
bench="$build/tools/bench/frame_bench"
if [ ! -x "$bench" ]; then
    echo "frame_cost: no $bench; build the frame_bench target first" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# LP_NUM_THREADS=0: llvmpipe rasterises on the calling thread, inside the
# collected loop, instead of in worker threads.
LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
    --toggle-collect='*TimeFrames*' "$bench" --frames "$frames" --no-floor \
    >"$work/bench.txt" 2>"$work/valgrind.txt" || {
    cat "$work/valgrind.txt" >&2
    exit 1
}
callgrind_annotate --inclusive=no --threshold=100 --auto=no "$work/callgrind.out" >"$work/annotated.txt"

# Lines read "  1,234,567 (12.34%)  file:function [/path/object]"; code that
# llvmpipe generates at run time shows as [???]. A few C-library lines carry
# no object at all.
awk -v own="$(basename "$bench")" '
    /^ *[0-9,]+ \([ 0-9.]+%\) / && !/PROGRAM TOTALS/ {
        count = $1; gsub(",", "", count)
        name = "(object not named)"
        if (match($0, /\[[^]]*\]$/)) {
            n = split(substr($0, RSTART + 1, RLENGTH - 2), parts, "/"); name = parts[n]
        }
        if (name == own) { name = "Marivelt (" own ")"; ownCount += count }
        else if (name == "???") name = "llvmpipe generated code"
        total += count; byObject[name] += count
    }
    END {
        if (total == 0) { print "frame_cost: nothing collected" > "/dev/stderr"; exit 1 }
        for (o in byObject) printf "%16.0f %8.3f%%  %s\n", byObject[o], 100 * byObject[o] / total, o | "sort -n -r"
        close("sort -n -r")
        printf "%16.0f %8s   total\n", total, "100%"
        printf "Marivelt own code: %.4f%% of the frames'"'"' instructions (target: at most 2%%)\n", 100 * ownCount / total
    }' "$work/annotated.txt"
echo "frames: 4 scenes x $frames, figures under callgrind:"
grep -E 'frames/s' "$work/bench.txt" || true
