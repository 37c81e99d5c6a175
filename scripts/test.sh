#!/usr/bin/env bash
# Builds and runs every test: a normal build, a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of each fuzzer.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
"$top/scripts/build.sh" build
ctest --test-dir "$top/build" --output-on-failure -j"$jobs"

echo "== sanitizer build"
"$top/scripts/build.sh" build-asan -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-asan" --output-on-failure -j"$jobs"

echo "== fuzzers"
CC=clang CXX=clang++ "$top/scripts/build.sh" build-fuzz -DQUORVEL_FUZZ=ON -DQUORVEL_GUI=OFF \
    -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF
"$top/scripts/fuzz.sh" "$top/build-fuzz" "${FUZZ_SECONDS:-10}"
echo "== all tests passed"
