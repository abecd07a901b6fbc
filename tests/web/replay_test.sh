#!/usr/bin/env bash
# ctest wrapper of replay_test.mjs: serves the browser build through the score service, which
# verifies the results sent with a replay with the desktop build's verifier, and plays a game in
# headless Chromium whose replay is then verified and watched, bounded in time. Exits 77
# (skipped, with the reason) when the web build, Chromium, node, ImageMagick or the browser
# driver is missing.
#   replay_test.sh SOURCE_DIR SCORES_TOOL VERIFY_TOOL SHOT_TOOL GAME_DIR OUT_DIR
set -uo pipefail
source "$(dirname "$0")/service_lib.sh"
src=$1 scores=$2 verify=$3 shot=$4 game=$5 out=$6
need_browser "$src"
command -v identify >/dev/null || skip "ImageMagick's identify is not installed"

rm -rf "$out" && mkdir -p "$out"
start_service "$scores" "$site" "$out" --verifier "$verify" --game-dir "$game" --verify-workers 1
echo "service: $base  page: ${base}play/  pictures: $out"
timeout 440 node "$src/tests/web/replay_test.mjs" "$base" "$out" "$driver" "$shot" "$game"
