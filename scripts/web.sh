#!/usr/bin/env bash
# Builds the browser version into build-web/: index.html, the script, the .wasm module and
# the packed data files. Serve it with `python3 -m http.server` inside build-web/.
#
# A native build in build-web/host packs the data files and draws the pictures; the same
# CMake tree configured with Emscripten's toolchain builds the module and copies them.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build-web"
# QUORVEL_WEB_HOST names an existing native build to take the data files from (the full
# test run passes its own); otherwise a Release build of its own in build-web/host.
host="${QUORVEL_WEB_HOST:-$out/host}"

"$top/scripts/setup.sh" emscripten chromium libstb-dev python3

jobs="$(nproc)"
if [ -z "${QUORVEL_WEB_HOST:-}" ]; then
    cmake -S "$top" -B "$host" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF \
        >/dev/null
fi
cmake --build "$host" -j"$jobs" --target quorvel_data quorvel_pictures quorvel_sounds

# Debian's emscripten needs Debian's Node modules, also under a Node from elsewhere.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
emcmake cmake -S "$top" -B "$out" -DQUORVEL_WEB=ON -DCMAKE_BUILD_TYPE=Release \
    -DQUORVEL_HOST_BIN="$host/bin" -DQUORVEL_HOST_DATA="$host/data" >/dev/null
cmake --build "$out" -j"$jobs"

# What a browser downloads: the page, the module and the files the page fetches at start.
size="$(cd "$out" && cat index.html quorvel-page.js quorvel.css quorvel.js quorvel.wasm \
    files/* sounds/* | wc -c)"
echo "build-web: the page downloads $((size / 1024)) KiB"
