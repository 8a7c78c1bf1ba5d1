#!/usr/bin/env bash
# The web page's budgets: its files as served and what gzip -9 would make of
# them, then, in headless Chromium with software WebGL (SwiftShader), the
# first frame's time after the page began loading and the frame rate.
#   tools/bench/web_page.sh [BUILD_DIR] [PAGE_DIR]   (defaults: build, build-web/page)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
page=${2:-build-web/page}
total=0 packed=0
for file in "$page"/*; do
    size=$(stat -c %s "$file") gz=$(gzip -9c "$file" | wc -c)
    printf '%-16s %9d bytes, %9d gzipped\n' "$(basename "$file")" "$size" "$gz"
    total=$((total + size)) packed=$((packed + gz))
done
printf '%-16s %9d bytes, %9d gzipped\n' "all" "$total" "$packed"
tests/web/browser_test.py "$page" "$build/tools/snapshot/snapshot" "$build/run" --measure
