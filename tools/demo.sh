#!/usr/bin/env bash
# Installs what is missing, builds Marivelt and starts it in its run folder;
# its options (--window, --help, --version) are passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMARIVELT_TESTS=OFF -DMARIVELT_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target marivelt assetgen_run
cd build/run
exec ./marivelt "$@"
