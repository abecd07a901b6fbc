#!/usr/bin/env bash
# ctest wrapper of player_test.mjs: serves the browser build through the score service on a free
# local port and plays it as players come to it (a first and a second visit, offline, without
# storage, on a phone), bounded in time. Exits 77 (skipped, with the reason) when the web build,
# Chromium, node or the browser driver is missing.
#   player_test.sh SOURCE_DIR SCORES_TOOL OUT_DIR
set -uo pipefail
source "$(dirname "$0")/service_lib.sh"
src=$1 scores=$2 out=$3
need_browser "$src"

rm -rf "$out" && mkdir -p "$out"
start_service "$scores" "$site" "$out"
echo "service: $base  page: ${base}play/  pictures: $out"
# The test cuts the network by stopping the service: it is told the service's process.
timeout 400 node "$src/tests/web/player_test.mjs" "$base" "$out" "$driver" "$service"
