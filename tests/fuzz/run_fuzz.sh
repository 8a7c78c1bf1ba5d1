#!/usr/bin/env bash
# run_fuzz.sh SECONDS — builds the bitmap reader's libFuzzer targets with clang
# (fuzzer, address and undefined-behaviour sanitizers) in build-fuzz/ and runs
# them side by side for SECONDS, each on a copy of the seed corpus: dib_fuzzer
# (the reader is safe) and dib_stb_fuzzer (it reads what stb_image reads the
# same). Exits non-zero on any crash, leak, timeout, disagreement or build
# failure. Callable from anywhere; paths are the repo's.
set -euo pipefail

seconds=${1:?usage: run_fuzz.sh SECONDS}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${MARIVELT_FUZZ_BUILD_DIR:-$repo/build-fuzz}
targets=(dib_fuzzer dib_stb_fuzzer)

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
    -max_total_time="$seconds" -timeout=1 -detect_leaks=1 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$work/$1/artifacts/" -print_final_stats=1 >"$work/$1/log" 2>&1
}
pids=()
for target in "${targets[@]}"; do
  fuzz "$target" &
  pids+=($!)
done

failed=0
for index in "${!targets[@]}"; do
  target=${targets[index]} status=0
  wait "${pids[index]}" || status=$?
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/$target/artifacts")" ]; then
    tail -n 80 "$work/$target/log" >&2
    cp "$work/$target/artifacts/"* "$build/" 2>/dev/null || true
    echo "run_fuzz.sh: $target failed (status $status); reproducers copied to $build" >&2
    failed=1
    continue
  fi
  grep -e '^stat::' -e "^$target:" "$work/$target/log" || true
  echo "run_fuzz.sh: $target: $(awk '/stat::number_of_executed_units/ {print $2}' "$work/$target/log") inputs in ${seconds} s, no crash, leak or timeout"
done
exit "$failed"
