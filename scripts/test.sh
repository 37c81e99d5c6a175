#!/usr/bin/env bash
# Builds and runs the tests.
#   scripts/test.sh          the full run (what CI runs): the source format check, a normal
#                            build with warnings as errors and its tests, the same tests
#                            under ASan/UBSan/LSan, a short run of each fuzzer, the browser test
#   scripts/test.sh quick    the edit-test loop: the normal build, incremental, and its tests
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-full}"
case "$mode" in
    quick | full) ;;
    *) echo "usage: scripts/test.sh [quick]" >&2; exit 1 ;;
esac
"$top/scripts/setup.sh"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

if [ "$mode" = quick ]; then
    "$top/scripts/build.sh" build
    ctest --test-dir "$top/build" --output-on-failure -j"$jobs"
    echo "== quick tests passed"
    exit 0
fi

echo "== source format"
"$top/scripts/format.sh" --check

echo "== normal build"
"$top/scripts/build.sh" build -DQUORVEL_WERROR=ON
ctest --test-dir "$top/build" --output-on-failure -j"$jobs"

echo "== sanitizer build"
"$top/scripts/build.sh" build-asan -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF -DQUORVEL_WERROR=ON
# Leak detection stays on; the suppressions cover a system library's leak only.
LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-asan" --output-on-failure -j"$jobs"

echo "== fuzzers"
CC=clang CXX=clang++ "$top/scripts/build.sh" build-fuzz -DQUORVEL_FUZZ=ON -DQUORVEL_GUI=OFF \
    -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF
"$top/scripts/fuzz.sh" "$top/build-fuzz" "${FUZZ_SECONDS:-10}"

echo "== browser version"
QUORVEL_WEB_HOST="$top/build" "$top/scripts/web-test.sh"
echo "== all tests passed"
