#!/usr/bin/env bash
# Builds the simulator and starts it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build
bin="$top/build/bin"
if [ -x "$bin/quorvel" ]; then
    exec "$bin/quorvel" "$@"
fi
# Until the window exists: a short calculation on the headless calculator.
echo "The window is not built yet; running the headless calculator: 2 ENTER 3 +"
exec "$bin/quorvel-run" --trace 2 ENTER 3 +
