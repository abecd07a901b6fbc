#!/usr/bin/env bash
# ctest wrapper of slow_line_test.mjs: serves the browser build through the score service on a
# free local port and loads it in a throttled Chromium. Exits 77 (skipped, with the reason) when
# the web build, Chromium, node or the browser driver is missing.
#   slow_line_test.sh SOURCE_DIR SCORES_TOOL OUT_DIR
set -uo pipefail
source "$(dirname "$0")/service_lib.sh"
src=$1 scores=$2 out=$3
need_browser "$src"

rm -rf "$out" && mkdir -p "$out"
start_service "$scores" "$site" "$out"
timeout 240 node "$src/tests/web/slow_line_test.mjs" "$base" "$driver"
