#!/usr/bin/env bash
# Real-window test of the window remembered between runs (Xvfb 1280x1024 with openbox): the
# player resizes the window to 1000x700 and moves it, quits with the game's own quit; the next
# run opens at that size and place (not 800x600 centred), and so does the one after it (the
# window manager's frame does not push it further each run).
#   window_memory.sh GAME_DIR
# Exits 77 (skipped) when xvfb-run is missing.
set -euo pipefail
source "$(dirname "$0")/window_lib.sh"

inside=0
if [ "${1:-}" = --inside ]; then
    inside=1
    shift
fi
game_dir=${1:?usage: window_memory.sh GAME_DIR}

if [ "$inside" -eq 0 ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: xvfb-run is not installed"
        exit 77
    fi
    for tool in xdotool openbox xwininfo timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
    done
    work=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-memory.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/game"
    cp -r "$game_dir/pondlark" "$game_dir/Data" "$game_dir/Music" "$work/game/"
    status=0
    WORK="$work" timeout -k 10 100 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
        "$0" --inside "$game_dir" || status=$?
    [ "$status" -ne 124 ] || fail "the window memory test ran out of time"
    [ "$status" -eq 0 ] && echo "window memory test passed"
    exit "$status"
fi

# --- inside the X server --------------------------------------------------------------------
work=${WORK:?}
enter_x
openbox --sm-disable >"$work/wm.log" 2>&1 &
wm_pid=$!
sleep 1.5
# The client area's place and size: "X Y WIDTH HEIGHT".
geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}
# Waits up to 10 s for the window to be at "X Y WIDTH HEIGHT" (the place settles after the
# window manager framed the window).
expect_geometry() {
    for _ in $(seq 1 40); do
        [ "$(geometry)" = "$1" ] && return 0
        sleep 0.25
    done
    fail "$2: the window is at $(geometry), not at $1"
}
quit_game() {
    # A click where no item stands leaves the intro and gives the window the keyboard.
    xdotool windowactivate "$window" 2>/dev/null || true
    xdotool mousemove --window "$window" 5 5 click 1
    sleep 0.5
    press Escape
    sleep 0.5
    press y
    wait_game_end 100
    [ "${end_status:-x}" = 0 ] || fail "the game's quit did not end it with 0 (${end_status:-running})"
}

start_game
read -r x y w h <<<"$(geometry)"
[ "$w $h" = "800 600" ] || fail "the first run opened at ${w}x$h"
xdotool windowsize "$window" 1000 700
xdotool windowmove "$window" 50 40
for _ in $(seq 1 40); do
    read -r x y w h <<<"$(geometry)"
    [ "$w $h" = "1000 700" ] && [ "$x" -lt 100 ] && break
    sleep 0.25
done
[ "$w $h" = "1000 700" ] || fail "the window was not resized: $x $y $w $h"
left="$x $y $w $h"
quit_game
grep -q '^window-width=1000$' "$work/game/Settings.cfg" ||
    fail "Settings.cfg holds no window: $(cat "$work/game/Settings.cfg")"
echo "ok: the first run ended with the window at $left"
for run in 2 3; do
    start_game
    expect_geometry "$left" "run $run"
    echo "ok: run $run opened the window at $left"
    quit_game
done
