#!/usr/bin/env bash
# Installs what is missing, builds Marivelt's web page into build-web/page/
# with Debian's emscripten, and serves it on http://127.0.0.1:8000/.
#   tools/web.sh          build and serve (PORT=8080 tools/web.sh for another port)
#   tools/web.sh --build  build only
# The data files are made by the native generator (build-web/native/), or
# taken from the run folder MARIVELT_WEB_DATA names (the tests pass build/run).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --web
jobs=$(nproc)

data=${MARIVELT_WEB_DATA:-}
if [[ -z "$data" ]]; then
    echo "== data files (native generator)"
    cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DMARIVELT_TESTS=OFF -DMARIVELT_BENCHMARKS=OFF >/dev/null
    cmake --build build-web/native -j"$jobs" --target assetgen_run
    data=build-web/native/run
fi

echo "== page (emscripten)"
# emscripten's own JavaScript tools need Debian's node modules, also where
# another node comes first on PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web/wasm -DCMAKE_BUILD_TYPE=Release -DMARIVELT_WEB_DATA="$(realpath "$data")" \
    -DMARIVELT_WEB_PAGE="$PWD/build-web/page" >/dev/null
cmake --build build-web/wasm -j"$jobs"
du -b build-web/page/* | sed 's|build-web/page/||'

[[ "${1:-}" == "--build" ]] && exit 0
exec python3 tools/web_server.py build-web/page "${PORT:-8000}"
