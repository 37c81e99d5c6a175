#!/usr/bin/env bash
# Builds the browser version (scripts/web.sh) and checks it in Debian's headless Chromium:
# the page served on loopback, links that calculate, the display text a screen reader
# hears, a printed line on the roll; then the keyboard, touch, menu and stored state. The
# start-up time is printed, not checked: timings are measured, never asserted.
set -uo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build-web"
passed=0
failed=0

if ! "$top/scripts/web.sh"; then
    echo "the browser version did not build"
    echo "0 passed, 1 failed"
    exit 1
fi

scratch="$(mktemp -d)"
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$out" >"$scratch/server.log" 2>&1 &
server=$!
cleanup() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html', timeout=1)" \
        2>/dev/null && break
    sleep 0.1
done

# The page's DOM after the keys of the link have been pressed.
dump() {
    local profile
    profile="$(mktemp -d -p "$scratch")"
    timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
        --virtual-time-budget=20000 --dump-dom "http://127.0.0.1:$port/index.html$1" 2>/dev/null
}

# The text of the element with the given id, as it stands in the dumped DOM.
element_text() {
    python3 -c '
import html, re, sys
dom = sys.stdin.read()
m = re.search(r"<(\w+)[^>]*\bid=\"" + sys.argv[1] + r"\"[^>]*>(.*?)</\1>", dom, re.S)
print(html.unescape(re.sub(r"<[^>]+>", "\n", m.group(2))).strip() if m else "<missing>")
' "$1"
}

check() {
    local what="$1" actual="$2" expected="$3"
    if [ "$actual" = "$expected" ]; then
        passed=$((passed + 1))
        echo "ok   $what"
    else
        failed=$((failed + 1))
        echo "FAIL $what: expected '$expected', got '$actual'"
    fi
}

while IFS='|' read -r fragment expected; do
    dom="$(dump "$fragment")"
    check "display after $fragment" "$(element_text display <<<"$dom")" "$expected"
    if [[ $fragment == *"%20P" ]]; then
        roll="$(element_text roll <<<"$dom" | sed 's/ *$//' | tail -n 1)"
        check "printed line after $fragment" "$(sed 's/^ *//' <<<"$roll")" "7.00"
    fi
done <<'CASES'
#keys=2%20ENTER%203%20%2B|5.00
#keys=9%20S|0.16
#keys=0%20N|Error
#keys=1%20E%205%20H|1 E-05
#keys=7%20P|7.00
CASES

# Keyboard, touch, menu and storage, driven by playwright-core with Debian's Chromium (no
# browser download); skipped when npm cannot install it.
tools="$out/node"
if [ ! -d "$tools/node_modules/playwright-core" ] && command -v npm >/dev/null; then
    mkdir -p "$tools"
    PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 timeout 300 npm install --prefix "$tools" --no-audit \
        --no-fund --silent playwright-core >/dev/null 2>&1
fi
if [ -d "$tools/node_modules/playwright-core" ]; then
    timeout 300 node "$top/tests/web/page-input.mjs" "$tools" "http://127.0.0.1:$port/index.html" \
        >"$scratch/input.log" 2>&1
    cat "$scratch/input.log"
    passed=$((passed + $(grep -c '^ok ' "$scratch/input.log")))
    failed=$((failed + $(grep -c '^FAIL ' "$scratch/input.log")))
else
    echo "skipped: the keyboard and touch checks need playwright-core from npm"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
