#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and
# end-to-end suites, the web page in headless Chromium, the unit suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and bounded fuzzing
# runs of the bitmap reader (safe on any input; the same pixels as stb_image
# where both read a file).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --tests
jobs=$(nproc)

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
echo "== web page"
MARIVELT_WEB_DATA=build/run tools/web.sh --build
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMARIVELT_SANITIZE=ON -DMARIVELT_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$jobs" --target marivelt_unit_tests marivelt_sdl_tests dibcheck
echo "== tests under sanitizers"
ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE 'e2e|web'

if [[ -x tests/fuzz/run_fuzz.sh ]]; then
    echo "== fuzzing the bitmap reader"
    tests/fuzz/run_fuzz.sh "${MARIVELT_FUZZ_SECONDS:-60}"
fi
