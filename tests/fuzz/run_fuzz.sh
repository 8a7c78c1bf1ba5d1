#!/usr/bin/env bash
# run_fuzz.sh SECONDS — builds the bitmap reader's libFuzzer targets with clang
# (fuzzer, address and undefined-behaviour sanitizers) in build-fuzz/ and runs
# them one after the other for SECONDS in all, each for its share and on a
# copy of the seed corpus: dib_fuzzer (the reader is safe) and dib_stb_fuzzer
# (it reads what stb_image reads the same). Exits non-zero on any crash, leak,
# timeout, disagreement or build failure. Callable from anywhere; paths are
# the repo's.
set -euo pipefail

seconds=${1:?usage: run_fuzz.sh SECONDS}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${MARIVELT_FUZZ_BUILD_DIR:-$repo/build-fuzz}
targets=(dib_fuzzer dib_stb_fuzzer)
share=$(( seconds / ${#targets[@]} > 0 ? seconds / ${#targets[@]} : 1 ))

# The per-input limit is wall-clock time, so it must hold on a busy machine.
# The slowest legal inputs, single runs under the sanitizers (libFuzzer's
# "Executed ... in N ms"): dib_fuzzer's run-length images of a million pixels
# take 50 to 75 ms with a core to themselves, and up to 765 ms with the other
# fuzzer beside them on two cores that others were using too;
# dib_stb_fuzzer's 64 K-pixel bit-field images take 15 to 20 ms, and up to
# 200 ms so crowded. Hence one fuzzer at a time, and a limit of 5 s: over six
# times the worst seen, and still soon enough to catch a loop that never ends.
timeout=5

cmake -S "$repo" -B "$build" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DMARIVELT_SANITIZE=ON -DMARIVELT_FUZZ=ON -DMARIVELT_TESTS=ON -DMARIVELT_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2

# A fuzzer adds what it finds to its first folder; the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fuzz()
{
  mkdir -p "$work/$1/corpus" "$work/$1/artifacts"
  cp "$repo/tests/fuzz/corpus/"* "$work/$1/corpus/"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$build/tests/fuzz/$1" "$work/$1/corpus" \
    -max_total_time="$share" -timeout="$timeout" -detect_leaks=1 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$work/$1/artifacts/" -print_final_stats=1 >"$work/$1/log" 2>&1
}
failed=0
for target in "${targets[@]}"; do
  status=0
  fuzz "$target" || status=$?
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/$target/artifacts")" ]; then
    tail -n 80 "$work/$target/log" >&2
    cp "$work/$target/artifacts/"* "$build/" 2>/dev/null || true
    echo "run_fuzz.sh: $target failed (status $status); reproducers copied to $build" >&2
    failed=1
    continue
  fi
  grep -e '^stat::' -e "^$target:" "$work/$target/log" || true
  echo "run_fuzz.sh: $target: $(awk '/stat::number_of_executed_units/ {print $2}' "$work/$target/log") inputs in ${share} s, no crash, leak or timeout"
done
exit "$failed"
