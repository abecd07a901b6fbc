#!/usr/bin/env bash
# Real-window smoke test: the real program in a fresh game folder under Xvfb with a small
# window manager, driven with xdotool through the intro, the main menu, a started game with a
# few jumps, the quit question, the options screen and Alt+Enter twice. Each step's screen is
# compared with the headless frame of the same step (pondlark-shot), the process must stay
# alive, its error output must hold only the line saying it presents through shared memory
# (Xvfb's GL is a software one), and the game's own exit must end it with status 0.
#   window_smoke.sh GAME_DIR SHOT_TOOL SCRIPT
# Exits 77 (skipped) when xvfb-run is missing.
set -euo pipefail
source "$(dirname "$0")/window_lib.sh"

if [ "${1:-}" = --inside ]; then
    inside=1
    shift
else
    inside=0
fi
game_dir=${1:?usage: window_smoke.sh GAME_DIR SHOT_TOOL SCRIPT}
shot_tool=${2:?usage: window_smoke.sh GAME_DIR SHOT_TOOL SCRIPT}
script=${3:?usage: window_smoke.sh GAME_DIR SHOT_TOOL SCRIPT}

if [ "$inside" -eq 0 ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: xvfb-run is not installed"
        exit 77
    fi
    for tool in xdotool import compare matchbox-window-manager xprop timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
    done
    make_work pondlark-window "$game_dir" "$shot_tool" "$script"
    # An 800x600 screen: with the window manager's title bar off the window fills it exactly,
    # so window and headless frames compare pixel for pixel.
    status=0
    WORK="$work" timeout -k 10 110 xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
        "$0" --inside "$game_dir" "$shot_tool" "$script" || status=$?
    # KEEP_SHOTS=DIR keeps the frames of the run for a look.
    if [ -d "${KEEP_SHOTS:-}" ]; then cp -r "$work"/*.png "$work/ref" "$KEEP_SHOTS/" || true; fi
    [ "$status" -ne 124 ] || fail "the window test ran out of time"
    exit "$status"
fi

# --- inside the X server --------------------------------------------------------------------
work=${WORK:?}
enter_x

matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
wm_pid=$!
sleep 1
start_game


xdotool mousemove 700 100
expect_frame intro.png
xdotool click 1 # leaves the intro, and does nothing if it is over
xdotool mousemove 500 185
expect_frame menu.png
press Return
# The pond is dealt from the clock: only the status plaques (level, lives, score) and the
# empty hunger bottle are the same as the headless frame's.
expect_frame pond.png 600x30+110+4 0.01
expect_frame pond.png 40x100+760+0 0.01
sleep 3.3
press space
sleep 0.4
press Up
sleep 0.2
press space
sleep 0.4
capture jumps.png
alive
moved=$(differs "$work/jumps.png" "$work/pond.png" 800x560+0+40) || exit 1
awk -v d="$moved" 'BEGIN { exit !(d >= 0.02) }' ||
    fail "the pond looks the same after the jumps ($moved of it changed)"
echo "ok: jumps.png ($moved of the pond changed)"
press Escape
xdotool mousemove 330 320
# Only the question's box: the pond under it goes on moving.
expect_frame exit-question.png 340x160+234+216
xdotool mousemove 335 322 click 1
xdotool mousemove 700 100
expect_frame menu-again.png
xdotool mousemove 500 260 click 1
# The country field's caret blinks: its box is left out.
expect_frame options.png 800x450+0+0
! fullscreen || fail "the window started in full screen"
xdotool key alt+Return
for _ in $(seq 1 20); do fullscreen && break; sleep 0.25; done
fullscreen || fail "Alt+Enter did not make the window full screen"
expect_frame options-full.png 800x450+0+0
xdotool key alt+Return
for _ in $(seq 1 20); do fullscreen || break; sleep 0.25; done
! fullscreen || fail "the second Alt+Enter did not bring the window back"
expect_frame options-window.png 800x450+0+0
alive

# The game's own way out: back to the menu, the quit question, "yes".
press Escape
xdotool mousemove 700 100
sleep 0.3
press Escape
xdotool mousemove 335 322
sleep 0.3
xdotool click 1
wait_game_end 50
[ -n "$end_status" ] || fail "answering yes to the quit question did not end the game"
[ "$end_status" -eq 0 ] || fail "the game ended with status $end_status: $(cat "$work/stderr.log")"
[ -s "$work/game/Config.cfg" ] || fail "the game left no Config.cfg in its folder"
check_error_output shm
echo "window smoke test passed"
