#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time, seeded from the data sources:
# fuzz.sh BUILD-FOLDER SECONDS
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
seconds="$2"
status=0
for fuzzer in "$build"/bin/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name="$(basename "$fuzzer")"
    corpus="$(mktemp -d)"
    seeds="$top/fuzz/seeds/$name"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/ 2>/dev/null || true
    cp "$top"/data/*.txt "$top"/data/*.pfl "$corpus"/ 2>/dev/null || true
    cp "$build"/bin/*.dat "$build"/bin/*.pfl "$corpus"/ 2>/dev/null || true
    echo "-- $name for ${seconds}s"
    if ! (cd "$build" && "$fuzzer" -max_total_time="$seconds" -max_len=65536 \
            -print_final_stats=0 "$corpus" >"$build/$name.log" 2>&1); then
        echo "$name found a problem:"
        tail -n 40 "$build/$name.log"
        status=1
    fi
    rm -rf "$corpus"
done
exit $status
