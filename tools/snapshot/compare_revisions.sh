#!/usr/bin/env bash
# compare_revisions.sh REV_A REV_B — shows that two revisions draw the same
# pictures: builds the snapshot tool of each in a temporary worktree (with its
# own generated data) and compares, byte for byte, the PNGs of every scene
# after 1, 2, 100, 101, 1000 and 1001 frames (frames 0, 1, 99, 100, 999 and
# 1000 counted from zero). Prints one line per picture; exits 0 when all match.
#
#   KEEP_DIR=DIR  keep the pictures in DIR/A and DIR/B instead of throwing them away
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 REV_A REV_B" >&2
    exit 2
fi
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
frame_counts=(1 2 100 101 1000 1001)
scenes=(water fire earth wind)

work=$(mktemp -d "${TMPDIR:-/tmp}/marivelt-compare.XXXXXX")
trees=()
cleanup() {
    for tree in "${trees[@]}"; do
        git -C "$repo" worktree remove --force "$tree" >/dev/null 2>&1 || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Builds REV's snapshot tool and draws its pictures into OUT.
draw_revision() {
    local rev=$1 out=$2 tree="$work/tree-$(basename "$2")"
    git -C "$repo" worktree add --detach "$tree" "$rev" >/dev/null 2>&1
    trees+=("$tree")
    cmake -S "$tree" -B "$tree/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DMARIVELT_TESTS=OFF -DMARIVELT_BENCHMARKS=OFF >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log" >&2; return 1; }
    cmake --build "$tree/build" -j2 --target snapshot >"$work/build.log" 2>&1 ||
        { tail -40 "$work/build.log" >&2; return 1; }
    mkdir -p "$out"
    for scene in "${!scenes[@]}"; do
        for frames in "${frame_counts[@]}"; do
            "$tree/build/tools/snapshot/snapshot" "$scene" "$frames" "$out/${scenes[$scene]}-$frames.png"
        done
    done
}

echo "drawing $1" >&2
draw_revision "$1" "$work/A"
echo "drawing $2" >&2
draw_revision "$2" "$work/B"

differ=0
for picture in "$work"/A/*.png; do
    name=$(basename "$picture")
    if cmp -s "$picture" "$work/B/$name"; then
        echo "same     $name"
    else
        echo "DIFFERS  $name"
        differ=1
    fi
done
if [ -n "${KEEP_DIR:-}" ]; then
    mkdir -p "$KEEP_DIR"
    cp -r "$work/A" "$work/B" "$KEEP_DIR/"
fi
exit $differ
