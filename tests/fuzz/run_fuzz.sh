#!/usr/bin/env bash
# run_fuzz.sh SECONDS — builds the bitmap reader's libFuzzer target with clang
# (fuzzer, address and undefined-behaviour sanitizers) in build-fuzz/ and runs
# it for SECONDS on a copy of the seed corpus. Exits non-zero on any crash,
# leak, timeout or build failure. Callable from anywhere; paths are the repo's.
set -euo pipefail

seconds=${1:?usage: run_fuzz.sh SECONDS}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${MARIVELT_FUZZ_BUILD_DIR:-$repo/build-fuzz}

cmake -S "$repo" -B "$build" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DMARIVELT_SANITIZE=ON -DMARIVELT_FUZZ=ON -DMARIVELT_TESTS=ON -DMARIVELT_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target dib_fuzzer -j2

# The fuzzer adds what it finds to the first folder; the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp "$repo/tests/fuzz/corpus/"* "$work/corpus/"

status=0
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$build/tests/fuzz/dib_fuzzer" "$work/corpus" \
  -max_total_time="$seconds" -timeout=1 -detect_leaks=1 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 >"$work/log" 2>&1 || status=$?

if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
  tail -n 80 "$work/log" >&2
  cp "$work/artifacts/"* "$build/" 2>/dev/null || true
  echo "run_fuzz.sh: the fuzzer failed (status $status); reproducers copied to $build" >&2
  exit 1
fi
grep '^stat::' "$work/log"
echo "run_fuzz.sh: $(awk '/stat::number_of_executed_units/ {print $2}' "$work/log") inputs in ${seconds} s, no crash, leak or timeout"
