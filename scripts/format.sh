#!/usr/bin/env bash
# Formats every C++ file of the tree with the repository's .clang-format;
# with --check it changes nothing and fails when a file is not formatted.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = --check ]; then
    clang-format --dry-run --Werror "${files[@]}"
else
    clang-format -i "${files[@]}"
fi
