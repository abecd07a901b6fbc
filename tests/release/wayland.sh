#!/usr/bin/env bash
# Native Wayland test: the game as a Wayland client of Weston (Weston's X11 backend with its
# software renderer, inside Xvfb: Weston's headless backend has no seat, and SDL's Wayland
# driver crashes without one), once for each PONDLARK_PRESENT (unset, shm, gl). Each run: the
# window appears with the main menu drawn in it (Weston's output, captured from Xvfb, holds the
# menu's picture), the game says how it presents, frames were presented, and the game's own
# quit (Escape, then Y) ends it with status 0.
#   wayland.sh GAME_DIR SHOT_TOOL SCRIPT
# Exits 77 (skipped), saying why, where Xvfb or Weston is missing or Weston cannot start.
set -euo pipefail
source "$(dirname "$0")/window_lib.sh"

inside=0
if [ "${1:-}" = --inside ]; then
    inside=1
    shift
fi
game_dir=${1:?usage: wayland.sh GAME_DIR SHOT_TOOL SCRIPT}
shot_tool=${2:?usage: wayland.sh GAME_DIR SHOT_TOOL SCRIPT}
script=${3:?usage: wayland.sh GAME_DIR SHOT_TOOL SCRIPT}

if [ "$inside" -eq 0 ]; then
    for tool in xvfb-run weston; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (scripts/setup installs it)"
            exit 77
        fi
    done
    for tool in xdotool import convert timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
    done
    make_work pondlark-wayland "$game_dir" "$shot_tool" "$script"
    status=0
    WORK="$work" timeout -k 10 150 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$0" --inside "$game_dir" "$shot_tool" "$script" || status=$?
    if [ -d "${KEEP_SHOTS:-}" ]; then cp -r "$work"/*.png "$work"/*.log "$work/ref" "$KEEP_SHOTS/" || true; fi
    [ "$status" -ne 124 ] || fail "the Wayland test ran out of time"
    [ "$status" -eq 0 ] && echo "Wayland test passed"
    exit "$status"
fi

# --- inside the X server --------------------------------------------------------------------
work=${WORK:?}
enter_x
runtime=$(mktemp -d "$work/runtime.XXXXXX")
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$work/config
socket=pondlark-$$
weston --backend=x11-backend.so --use-pixman --no-config --socket="$socket" --width=1024 \
    --height=768 --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
trap 'end_x; kill "$weston_pid" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston_pid" 2>/dev/null; then
        echo "SKIP: Weston cannot run here: $(tail -n 3 "$work/weston.log" | tr '\n' ' ')"
        exit 77
    fi
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
    echo "SKIP: Weston made no Wayland socket within 10 s"
    exit 77
fi
sleep 1 # the shell's panel and background

# The menu's most common colour, and how many of the frame's pixels have it.
read -r colour want <<<"$(convert "$work/ref/menu.png" -format %c histogram:info:- |
    sort -rn | awk 'NR == 1 { sub(":", "", $1); print $3, $1 }')"
[ -n "$colour" ] || fail "no colour read from the reference menu"
# The pixels of the captured screen that have it.
colour_count() {
    convert "$1" -fill black +opaque "$colour" -fill white -opaque "$colour" \
        -format "%[fx:round(mean*w*h)]" info:
}
colour_count_root() {
    capture "$1"
    colour_count "$work/$1"
}
before=$(colour_count_root before.png)

for present in unset shm gl; do
    echo "--- PONDLARK_PRESENT=$present"
    if [ "$present" = unset ]; then unset PONDLARK_PRESENT; else export PONDLARK_PRESENT=$present; fi
    rm -f "$work/game/Config.cfg" "$work/game/Settings.cfg"
    (cd "$work/game" && SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=$socket PONDLARK_STATS=1 \
        exec ./pondlark) 2>"$work/stderr-$present.log" &
    game_pid=$!
    cp /dev/null "$work/stderr.log"
    shown=0
    for _ in $(seq 1 40); do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended early: $(cat "$work/stderr-$present.log")"
        sleep 0.25
        have=$(colour_count_root "menu-$present.png")
        # Nearly all of the menu's pixels of that colour, on top of what the desktop had.
        if [ $((have - before)) -ge $((want * 9 / 10)) ]; then
            shown=1
            break
        fi
    done
    [ "$shown" -eq 1 ] || fail "PONDLARK_PRESENT=$present: the menu did not appear" \
        "($((have - before)) of its $want pixels of $colour): $(cat "$work/stderr-$present.log")"
    echo "ok: the window shows the menu ($((have - before)) of $want pixels of $colour)"
    # The keyboard goes to the Weston window under the pointer, and Weston gives it to the game.
    xdotool mousemove 1020 760
    press Escape
    sleep 0.5
    press y
    wait_game_end 100
    [ -n "$end_status" ] || fail "PONDLARK_PRESENT=$present: the quit did not end the game"
    [ "$end_status" -eq 0 ] ||
        fail "PONDLARK_PRESENT=$present: the game ended with $end_status: $(cat "$work/stderr-$present.log")"
    log=$(cat "$work/stderr-$present.log")
    grep -q '^pondlark: presenting ' <<<"$log" || fail "the game did not say how it presents: $log"
    presented=$(sed -n 's/^stats: .* presented \([0-9]*\) .*/\1/p' <<<"$log")
    [ "${presented:-0}" -ge 1 ] || fail "no frame was presented: $log"
    echo "ok: $(grep '^pondlark: presenting ' <<<"$log"); $presented frames presented; the quit ended it with 0"
    # The window is gone again before the next run.
    for _ in $(seq 1 20); do
        [ "$(colour_count_root after-$present.png)" -le $((before + want / 10)) ] && break
        sleep 0.25
    done
done
