#!/usr/bin/env bash
# valgrind memcheck on the whole program on the headless platform: start,
# 300 frames across the scenes, ESC. Fails on any leak valgrind is sure of
# (definitely or indirectly lost) and on any memory error but the dynamic
# loader's false positive that memcheck.supp describes.
#   tools/bench/memcheck.sh BUILD_DIR [FRAMES]
set -euo pipefail
build=$(readlink -f "${1:?usage: memcheck.sh BUILD_DIR [FRAMES]}")
frames=${2:-300}
suppressions=$(dirname "$(readlink -f "$0")")/memcheck.supp
exec valgrind --suppressions="$suppressions" --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=3 --num-callers=30 \
    "$build/tools/bench/soak" --frames "$frames" --sample-every 100
