#!/usr/bin/env bash
# Real-window rules test: what a player meets in the window itself, on screens larger than the
# game, in three X servers of their own.
#   - With a window manager that draws decorations (openbox, 1024x768): the window's icon;
#     the close request (a close box's WM_DELETE_WINDOW in the main menu, Alt+F4 and
#     `wmctrl -c` in the pond) asks the quit question with the caption "PONDLARK [Pause]" and
#     "no" resumes; in the options screen it does nothing; Alt+Enter twice gives back the same
#     decorated window at the same place with the same picture; a resized window shows the
#     whole picture letterboxed and takes clicks where the picture shows its items;
#     maximizing switches to full screen; SIGTERM ends the game at once.
#   - Without a window manager (1024x768): full screen shows the picture at the largest whole
#     factor that fits between black bars, the
#     pointer still hits the items it shows, and the window comes back with the picture it had
#     before; SIGINT ends the game at once.
#   - Without a window manager on a wide screen (1280x720): the same, with GL.
#   The first two runs present the way the game chooses on Xvfb (through shared memory, its GL
#   being a software one), the third with GL forced.
# Each frame is compared with the headless frame of the same step (pondlark-shot), scaled
# where the window shows it scaled.
#   window_rules.sh GAME_DIR SHOT_TOOL SCRIPT
# Exits 77 (skipped) when xvfb-run is missing. KEEP_SHOTS=DIR keeps the frames.
set -euo pipefail
source "$(dirname "$0")/window_lib.sh"
here=$(cd "$(dirname "$0")" && pwd)

phase=""
if [ "${1:-}" = --inside ]; then
    phase=$2
    shift 2
fi
game_dir=${1:?usage: window_rules.sh GAME_DIR SHOT_TOOL SCRIPT}
shot_tool=${2:?usage: window_rules.sh GAME_DIR SHOT_TOOL SCRIPT}
script=${3:?usage: window_rules.sh GAME_DIR SHOT_TOOL SCRIPT}

if [ -z "$phase" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: xvfb-run is not installed"
        exit 77
    fi
    for tool in xdotool import compare convert openbox wmctrl xprop xwininfo timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
    done
    /usr/bin/python3 -c 'import Xlib' 2>/dev/null ||
        fail "python3-xlib is missing (scripts/setup installs it)"
    make_work pondlark-rules "$game_dir" "$shot_tool" "$script"
    status=0
    for run in "managed 1024x768" "bare 1024x768" "wide 1280x720"; do
        set -- $run
        rm -f "$work/game/Config.cfg"
        mkdir -p "$work/$1"
        echo "--- $1, a $2 screen"
        WORK="$work" timeout -k 10 100 xvfb-run -a -s "-screen 0 $2x24 -nolisten tcp" \
            "$0" --inside "$1" "$game_dir" "$shot_tool" "$script" || status=$?
        [ "$status" -ne 124 ] || fail "the $1 run ran out of time"
        [ "$status" -eq 0 ] || break
    done
    if [ -d "${KEEP_SHOTS:-}" ]; then cp -r "$work/managed" "$work/bare" "$work/wide" "$work/ref" "$KEEP_SHOTS/" || true; fi
    [ "$status" -eq 0 ] && echo "window rules test passed"
    exit "$status"
fi

# --- inside the X server --------------------------------------------------------------------
root_work=${WORK:?}
# The frames of each run go to their own folder; the game and the references are shared.
work=$root_work/$phase
ln -s "$root_work/game" "$work/game"
ln -s "$root_work/ref" "$work/ref"
enter_x

# Where the window's client area is on the screen: "X Y WIDTH HEIGHT".
geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}
# Waits up to 10 s until the command succeeds: on a loaded machine the window manager and the
# game answer late.
wait_for() {
    for _ in $(seq 1 40); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}
active_is_game() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]; }
caption_is() { [ "$(xdotool getwindowname "$window")" = "$1" ]; }
# Waits for CAPTION after STEP.
expect_caption() {
    wait_for caption_is "$1" ||
        fail "after $2 the caption is \"$(xdotool getwindowname "$window")\", not \"$1\"" \
            "(focus on $(xdotool getwindowfocus 2>&1), the game's window is $window)"
}
geometry_is() { [ "$(geometry)" = "$1" ]; }
size_is() { [ "$(geometry | cut -d' ' -f3-)" = "$1" ]; }
expect_geometry() { wait_for geometry_is "$1" || fail "the window is at $(geometry), not at $1"; }
# Compares a picture the window shows scaled: both sides at half the frame's size.
expect_scaled() { compare_size=400x300 expect_frame "$1" "$2" 0.01 "$work/ref/$3" 800x600+0+0; }
# Ends the game with SIGNAL and expects it killed by that signal (status 128 + its number): a
# handler of the game's own would end it by its own exit (status 0). The 10 s are for a
# machine under load only.
expect_signal_ends() {
    local signal=$1 expected=$2
    kill "-$signal" "$game_pid"
    wait_game_end 100
    [ -n "$end_status" ] ||
        fail "SIG$signal did not end the game: $(grep -s State "/proc/$game_pid/status")"
    [ "$end_status" -eq "$expected" ] ||
        fail "SIG$signal ended the game with status $end_status, not $expected"
    echo "ok: SIG$signal killed the game (status $end_status)"
}
# The quit question's box: the pond under it goes on moving.
question=340x160+234+216

case "$phase" in
managed)
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    wm_pid=$!
    sleep 1.5
    start_game
    capture_from=$window

    read -r w h centre corner <<<"$("$here/xwindow.py" icon "$window")"
    [ "$w" -ge 32 ] && [ "$w" = "$h" ] || fail "the window's icon is ${w}x$h"
    # The frog's face: an opaque, mostly green middle on a clear ground.
    a=$((centre >> 24 & 255)) r=$((centre >> 16 & 255)) g=$((centre >> 8 & 255)) b=$((centre & 255))
    [ "$a" -eq 255 ] && [ "$g" -gt "$r" ] && [ "$g" -gt "$b" ] && [ $((corner >> 24 & 255)) -eq 0 ] ||
        fail "the window's icon is not the frog's face (centre $centre, corner $corner)"
    echo "ok: the window's icon is ${w}x$h, the frog's face"
    decorations() { xprop -id "$window" _MOTIF_WM_HINTS | awk -F', ' '{ print $3 }'; }
    [ "$(decorations)" = 0x1 ] || fail "the window starts without decorations"

    xdotool mousemove --window "$window" 700 100
    xdotool click 1 # leaves the intro, and does nothing if it is over
    expect_frame menu.png
    # A close box sends WM_DELETE_WINDOW: the quit question, and the game goes on.
    "$here/xwindow.py" close "$window"
    expect_caption "PONDLARK [Pause]" "the close box in the menu"
    expect_frame menu-close.png $question
    alive
    xdotool mousemove --window "$window" 465 325 click 1
    expect_caption "PONDLARK" "no in the menu"
    xdotool mousemove --window "$window" 700 100
    expect_frame menu-no.png
    echo "ok: the close box asks the quit question in the menu, and no goes back"

    xdotool mousemove --window "$window" 500 260 click 1
    xdotool mousemove --window "$window" 700 100
    # The country field's caret blinks: its box is left out.
    expect_frame options.png 800x450+0+0
    wmctrl -i -c "$window"
    sleep 1
    expect_frame options-close.png 800x450+0+0
    caption_is PONDLARK || fail "a close request changed the caption in the options screen"
    echo "ok: a close request does nothing in the options screen"

    # Alt+Enter twice: the same decorated window at the same place, the picture 1:1, also
    # after the player moved it.
    start_place=$(geometry)
    xdotool windowmove "$window" 40 30
    wait_for eval '[ "$(geometry)" != "$start_place" ]' || fail "the window cannot be moved"
    before=$(geometry)
    [ "${before#* * }" = "800 600" ] || fail "the window starts at $before, not 800x600"
    xdotool key alt+Return
    wait_for fullscreen || fail "Alt+Enter did not make the window full screen"
    expect_geometry "0 0 1024 768"
    capture options-full.png
    xdotool key alt+Return
    wait_for eval '! fullscreen' || fail "the second Alt+Enter did not bring the window back"
    expect_geometry "$before"
    [ "$(decorations)" = 0x1 ] || fail "the window came back from full screen without decorations"
    expect_frame options.png 800x450+0+0
    capture options-back.png
    echo "ok: Alt+Enter twice gives back the decorated window at $before"

    # A resized window: the whole picture, scaled with its aspect between black bars, and
    # the pointer hits what the picture shows.
    press Escape
    xdotool mousemove --window "$window" 700 100
    expect_frame menu.png
    xdotool windowsize "$window" 1000 500
    # The window manager may move it to keep it on the screen.
    wait_for size_is "1000 500" || fail "the window was not resized: $(geometry)"
    # 800x600 into 1000x500: 667x500 in the middle, bars of 166 and 167 pixels.
    expect_scaled resized.png 666x500+167+0 menu.png
    convert -size 166x500 xc:black "$work/black.png"
    expect_frame resized.png 166x500+0+0 0 "$work/black.png" 166x500+0+0
    expect_frame resized.png 166x500+834+0 0 "$work/black.png" 166x500+0+0
    xdotool mousemove --window "$window" $((167 + 500 * 5 / 6)) $((260 * 5 / 6)) click 1
    xdotool mousemove --window "$window" $((167 + 700 * 5 / 6)) $((100 * 5 / 6))
    compare_size=400x225 expect_frame resized-options.png 666x375+167+0 0.01 \
        "$work/ref/options.png" 800x450+0+0
    echo "ok: the resized window letterboxes the picture and the pointer is exact"
    press Escape
    xdotool windowsize "$window" 800 600
    wait_for size_is "800 600" || fail "the window was not resized back: $(geometry)"
    before=$(geometry)
    xdotool mousemove --window "$window" 700 100
    expect_frame menu.png

    # Close requests in the pond: Alt+F4 (the window manager's key) and wmctrl.
    xdotool mousemove --window "$window" 500 185
    press Return
    # The status plaques before the question, which dims the screen behind it.
    expect_frame pond.png 600x30+110+4 0.01 "$work/ref/pond.png"
    for how in alt+F4 wmctrl; do
        if [ "$how" = wmctrl ]; then
            wmctrl -i -c "$window"
        else
            # The window manager closes the window it holds active.
            xdotool windowactivate "$window"
            wait_for active_is_game || fail "the window manager does not make the game active"
            xdotool key alt+F4
        fi
        expect_caption "PONDLARK [Pause]" "$how in the pond"
        expect_frame "pond-close-$how.png" $question 0.005 "$work/ref/pond-close.png"
        # The pond stands still behind the question.
        capture pond-still.png
        sleep 0.5
        capture pond-still-later.png
        d=$(differs "$work/pond-still.png" "$work/pond-still-later.png")
        [ "$d" = 0.0000 ] || fail "the pond moved behind the quit question ($d of it)"
        alive
        xdotool mousemove --window "$window" 465 325 click 1
        expect_caption "PONDLARK" "no in the pond"
        xdotool mousemove --window "$window" 700 100
        capture "pond-no-$how.png"
        d=$(differs "$work/pond-no-$how.png" "$work/ref/pond-close.png" $question)
        awk -v d="$d" 'BEGIN { exit !(d > 0.2) }' || fail "no left the quit question on the pond"
        echo "ok: $how asks the quit question in the pond, and no goes back to the pond"
    done

    # Maximizing switches to full screen; Alt+Enter then gives back the window as it was.
    wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
    wait_for fullscreen || fail "maximizing did not switch to full screen"
    expect_geometry "0 0 1024 768"
    capture maximized.png
    xdotool key alt+Return
    wait_for eval '! fullscreen' || fail "Alt+Enter did not leave the full screen of a maximize"
    expect_geometry "$before"
    [ "$(decorations)" = 0x1 ] || fail "the window came back without decorations"
    echo "ok: maximizing switches to full screen, and Alt+Enter gives back the window"

    expect_signal_ends TERM 143
    ;;
bare | wide)
    # The wide screen's letterbox is checked with GL presenting, the others with the choice the
    # game makes itself.
    if [ "$phase" = wide ]; then export PONDLARK_PRESENT=gl; fi
    start_game
    read -r x y w h <<<"$(geometry)"
    [ "$w $h" = "800 600" ] || fail "the window starts at $w x $h"
    xdotool mousemove --window "$window" 700 100
    xdotool click 1 # leaves the intro, and does nothing if it is over
    expect_frame menu.png "800x600+$x+$y" 0.005 "$work/ref/menu.png" 800x600+0+0
    capture before.png
    read -r sw sh <<<"$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')"
    xdotool key alt+Return
    expect_geometry "0 0 $sw $sh"
    # The picture at the largest whole factor that fits, in the middle between black bars; the
    # pointer in surface pixels.
    f=$((sw / 800 < sh / 600 ? sw / 800 : sh / 600))
    pw=$((800 * f)) ph=$((600 * f)) bx=$(((sw - 800 * f) / 2)) by=$(((sh - 600 * f) / 2))
    xdotool mousemove $((bx + 500 * f)) $((by + 185 * f))
    expect_scaled full-lit.png "${pw}x$ph+$bx+$by" menu-lit.png
    if [ "$bx" -gt 0 ]; then
        convert -size "${bx}x$sh" xc:black "$work/black.png"
        expect_frame full-lit.png "${bx}x$sh+0+0" 0 "$work/black.png" "${bx}x$sh+0+0"
        expect_frame full-lit.png "${bx}x$sh+$((sw - bx))+0" 0 "$work/black.png" "${bx}x$sh+0+0"
    fi
    if [ "$by" -gt 0 ]; then
        convert -size "${sw}x$by" xc:black "$work/black.png"
        expect_frame full-lit.png "${sw}x$by+0+0" 0 "$work/black.png" "${sw}x$by+0+0"
    fi
    echo "ok: full screen without a window manager shows the picture ${f}:1 on ${sw}x$sh"
    xdotool mousemove $((x + 700)) $((y + 100))
    xdotool key alt+Return
    expect_geometry "$x $y 800 600"
    expect_frame after.png "800x600+$x+$y" 0 "$work/before.png" "800x600+$x+$y"
    echo "ok: the window came back at $x,$y with the picture it had before"
    if [ "$phase" = bare ]; then expect_signal_ends INT 130; else expect_signal_ends TERM 143; fi
    ;;
*)
    fail "unknown run $phase"
    ;;
esac
if [ "$phase" = wide ]; then check_error_output gl; else check_error_output shm; fi
