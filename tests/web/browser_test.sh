#!/usr/bin/env bash
# ctest wrapper of browser_test.mjs: makes the desktop's frame with pondlark-shot, serves the
# browser build through the score service on a free local port and runs the page in Chromium,
# bounded in time. MODE is `headless`, or `window` for a Chromium with a real window inside
# xvfb-run (a virtual X display, as a player's desktop).
# Exits 77 (skipped, with the reason) when the web build, Chromium, node, ImageMagick, xvfb-run
# (window mode) or the browser driver is missing.
#   browser_test.sh SOURCE_DIR SHOT_TOOL SCORES_TOOL GAME_DIR OUT_DIR MODE
set -uo pipefail
source "$(dirname "$0")/service_lib.sh"
src=$1 shot=$2 scores=$3 game=$4 out=$5 mode=$6
need_browser "$src"
run=()
if [ "$mode" = window ]; then
    command -v xvfb-run >/dev/null || skip "xvfb-run is not installed (scripts/setup installs xvfb)"
    command -v import >/dev/null || skip "ImageMagick's import is not installed"
    run=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi

rm -rf "$out" && mkdir -p "$out/home"
# The desktop's frame of the main menu and its settings after a country typed in the options,
# made by the same steps the browser takes.
printf '%s\n' 'seed 9' 'wait 2100' 'move 500 185' 'wait 60' 'shot desktop-main-menu.png' \
    'click 500 260' 'wait 60' 'type SWEDEN' 'wait 100' 'key Escape' 'wait 200' >"$out/desktop.txt"
"$shot" --dir "$game" --script "$out/desktop.txt" --out "$out" --home "$out/home" >/dev/null &&
    [ -f "$out/home/Config.cfg" ] || {
    echo "pondlark-shot failed"
    exit 1
}
# The desktop's feast picture: the browser takes the same steps in its own time.
"$shot" --dir "$game" --script "$src/docs/shots/eating.txt" --out "$out/desktop-feast" \
    --home "$out/home-feast" >/dev/null || { echo "pondlark-shot failed on the feast"; exit 1; }

# The score service serves the page, so the results the page sends come back to it.
start_service "$scores" "$site" "$out"
echo "service: $base  page: ${base}play/  screenshots: $out"
timeout 400 "${run[@]}" node "$src/tests/web/browser_test.mjs" "$base" "$out/desktop-main-menu.png" \
    "$out/desktop-feast/eating.png" "$out/home/Config.cfg" "$out" "$driver" "$mode"
