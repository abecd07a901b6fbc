#!/usr/bin/env bash
# ctest wrapper of slow_line_test.mjs: serves the browser build through the score service on a
# free local port and loads it in a throttled Chromium. Exits 77 (skipped, with the reason) when
# the web build, Chromium, node or the browser driver is missing.
#   slow_line_test.sh SOURCE_DIR SCORES_TOOL OUT_DIR
set -uo pipefail
source "$(dirname "$0")/service_lib.sh"
src=$1 scores=$2 out=$3
site=$src/build-web/site
skip() { echo "SKIPPED: $*"; exit 77; }
[ -f "$site/game.wasm" ] && [ -f "$site/index.html" ] ||
    skip "the web build is not present (scripts/web --build-only makes it in build-web/site)"
[ -x /usr/bin/chromium ] || skip "Debian's chromium is not installed (scripts/setup installs it)"
command -v node >/dev/null || skip "node is not installed (scripts/web-deps installs it)"
driver=${PONDLARK_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pondlark-web}/driver
[ -d "$driver/node_modules/playwright-core" ] ||
    skip "playwright-core is not installed in $driver (scripts/web-deps installs it)"

rm -rf "$out" && mkdir -p "$out"
start_service "$scores" "$site" "$out"
timeout 240 node "$src/tests/web/slow_line_test.mjs" "$base" "$driver"
