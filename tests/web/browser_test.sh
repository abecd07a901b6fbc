#!/usr/bin/env bash
# ctest wrapper of browser_test.mjs: makes the desktop's frame with pondlark-shot, serves the
# browser build on a free local port and runs the page in headless Chromium, bounded in time.
# Exits 77 (skipped, with the reason) when the web build, Chromium, node, ImageMagick or the
# browser driver is missing.
#   browser_test.sh SOURCE_DIR SHOT_TOOL GAME_DIR OUT_DIR
set -uo pipefail
src=$1 shot=$2 game=$3 out=$4
site=$src/build-web/site
skip() { echo "SKIPPED: $*"; exit 77; }
[ -f "$site/game.wasm" ] && [ -f "$site/index.html" ] ||
    skip "the web build is not present (scripts/web --build-only makes it in build-web/site)"
[ -x /usr/bin/chromium ] || skip "Debian's chromium is not installed (scripts/setup installs it)"
command -v node >/dev/null || skip "node is not installed (scripts/web-deps installs it)"
command -v compare >/dev/null || skip "ImageMagick's compare is not installed"
driver=${PONDLARK_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pondlark-web}/driver
[ -d "$driver/node_modules/playwright-core" ] ||
    skip "playwright-core is not installed in $driver (scripts/web-deps installs it)"

rm -rf "$out" && mkdir -p "$out/home"
# The desktop's frame of the main menu and its settings after a country typed in the options,
# made by the same steps the browser takes.
printf '%s\n' 'seed 1' 'wait 2100' 'move 500 185' 'wait 60' 'shot desktop-main-menu.png' \
    'click 500 260' 'wait 60' 'type SWEDEN' 'wait 100' 'key Escape' 'wait 200' >"$out/desktop.txt"
"$shot" --dir "$game" --script "$out/desktop.txt" --out "$out" --home "$out/home" >/dev/null &&
    [ -f "$out/home/Config.cfg" ] || {
    echo "pondlark-shot failed"
    exit 1
}

python3 "$src/web/serve.py" "$site" 0 >"$out/server.txt" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do
    url=$(head -n 1 "$out/server.txt" 2>/dev/null)
    [ -n "$url" ] && break
    sleep 0.1
done
[ -n "$url" ] || { echo "the local server did not start"; exit 1; }
echo "page: $url  screenshots: $out"
timeout 300 node "$src/tests/web/browser_test.mjs" "$url" "$out/desktop-main-menu.png" \
    "$out/home/Config.cfg" "$out" "$driver"
