#!/usr/bin/env bash
# Real-window scaling test, a table of rows each in an X server (Xvfb) of its own:
#   window 800x600 on a 1024x768 screen; the window a high-density desktop opens (Xft.dpi 192
#   on a 3840x2160 screen: 1600x1200); a window resized to 1000x700; full screen on 1280x800
#   and on 3840x2160; and full screen on 1280x800 with "scaling=smooth" in Settings.cfg.
# Each row checks the picture's factor (the shown picture is the 1:1 frame with each pixel a
# FACTOR x FACTOR square, centred between black bars), its crispness (as many colours as the
# 1:1 frame for whole factors; more for smooth, which is filtered), and that a click on the
# options item where the picture shows it opens the options screen.
#   window_scaling.sh GAME_DIR SHOT_TOOL SCRIPT
# Exits 77 (skipped) when xvfb-run is missing. KEEP_SHOTS=DIR keeps the frames.
set -euo pipefail
source "$(dirname "$0")/window_lib.sh"
here=$(cd "$(dirname "$0")" && pwd)

row=""
if [ "${1:-}" = --inside ]; then
    row=$2
    shift 2
fi
game_dir=${1:?usage: window_scaling.sh GAME_DIR SHOT_TOOL SCRIPT}
shot_tool=${2:?usage: window_scaling.sh GAME_DIR SHOT_TOOL SCRIPT}
script=${3:?usage: window_scaling.sh GAME_DIR SHOT_TOOL SCRIPT}

# name | screen | dpi | how the window is made | scaling | expected factor (0: not whole)
rows=(
    "window-800     1024x768  96  open       sharp  1"
    "window-hidpi   3840x2160 192 open       sharp  2"
    "resized-1000   1280x1024 96  1000x700   sharp  1"
    "full-1280      1280x800  96  full       sharp  1"
    "full-4k        3840x2160 96  full       sharp  3"
    "smooth-1280    1280x800  96  full       smooth 0"
)

if [ -z "$row" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: xvfb-run is not installed"
        exit 77
    fi
    for tool in xdotool import compare convert identify xwininfo timeout; do
        command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
    done
    /usr/bin/python3 -c 'import Xlib' 2>/dev/null ||
        fail "python3-xlib is missing (scripts/setup installs it)"
    make_work pondlark-scaling "$game_dir" "$shot_tool" "$script"
    status=0
    for r in "${rows[@]}"; do
        set -- $r
        mkdir -p "$work/$1"
        echo "--- $r"
        # -noreset: the X resources set before the game starts outlive the setter's connection.
        WORK="$work" timeout -k 10 90 xvfb-run -a -s "-screen 0 $2x24 -nolisten tcp -noreset" \
            "$0" --inside "$r" "$game_dir" "$shot_tool" "$script" || status=$?
        [ "$status" -ne 124 ] || fail "the $1 row ran out of time"
        [ "$status" -eq 0 ] || break
    done
    if [ -d "${KEEP_SHOTS:-}" ]; then cp -r "$work"/*-* "$work/ref" "$KEEP_SHOTS/" || true; fi
    [ "$status" -eq 0 ] && echo "window scaling test passed"
    exit "$status"
fi

# --- inside the X server --------------------------------------------------------------------
read -r name screen dpi how scaling factor <<<"$row"
root_work=${WORK:?}
work=$root_work/$name
# A game folder of the row's own: the settings file differs from row to row.
mkdir -p "$work/game"
cp -r "$root_work/game/pondlark" "$root_work/game/Data" "$root_work/game/Music" "$work/game/"
ln -s "$root_work/ref" "$work/ref"
enter_x
[ "$scaling" = sharp ] || echo "scaling=$scaling" >"$work/game/Settings.cfg"
"$here/xwindow.py" resources "Xft.dpi:	$dpi
"
start_game
capture_from=$window
geometry() { xwininfo -id "$window" | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w, h }'; }
wait_size() {
    for _ in $(seq 1 40); do
        [ "$(geometry)" = "$1" ] && return 0
        sleep 0.25
    done
    fail "the window is $(geometry), not $1"
}
xdotool mousemove --window "$window" 700 100
xdotool click 1 # leaves the intro, and does nothing if it is over
sw=${screen%x*} sh=${screen#*x}
case "$how" in
open) ;;
full)
    xdotool key alt+Return
    wait_size "$sw $sh"
    ;;
*)
    xdotool windowsize "$window" "${how%x*}" "${how#*x}"
    wait_size "${how/x/ }"
    ;;
esac
read -r ww wh <<<"$(geometry)"
if [ "$how" = open ]; then
    [ "$ww $wh" = "$((800 * factor)) $((600 * factor))" ] ||
        fail "the window opened at ${ww}x$wh on a desktop of $dpi dpi, not at $factor x 800x600"
fi
# Where the picture stands in the window.
if [ "$factor" -gt 0 ]; then
    pw=$((800 * factor)) ph=$((600 * factor))
else
    # Filled at the frame's aspect.
    if [ $((ww * 600)) -le $((wh * 800)) ]; then
        pw=$ww ph=$((ww * 600 / 800))
    else
        pw=$((wh * 800 / 600)) ph=$wh
    fi
fi
px=$(((ww - pw) / 2)) py=$(((wh - ph) / 2))
picture="${pw}x$ph+$px+$py"

# The menu at rest.
xdotool mousemove --window "$window" $((px + 700 * pw / 800)) $((py + 100 * ph / 600))
if [ "$factor" -gt 0 ]; then
    # Every frame pixel an exact FACTOR square: the picture shrunk by sampling is the 1:1
    # frame, and grown again by sampling is the picture pixel for pixel.
    for _ in $(seq 1 20); do
        alive
        capture menu.png
        convert "$work/menu.png" -crop "$picture" +repage "$work/picture.png"
        convert "$work/picture.png" -sample 800x600! "$work/sampled.png"
        d=$(differs "$work/sampled.png" "$work/ref/menu.png")
        awk -v d="$d" 'BEGIN { exit !(d <= 0.005) }' && break
        sleep 0.25
    done
    awk -v d="$d" 'BEGIN { exit !(d <= 0.005) }' ||
        fail "the picture at $picture is not the menu at $factor:1 ($d differs)"
    convert "$work/sampled.png" -sample "${pw}x$ph!" "$work/regrown.png"
    blocks=$(compare -metric AE "$work/picture.png" "$work/regrown.png" null: 2>&1 || true)
    [ "$blocks" = 0 ] || fail "the picture is not made of ${factor}x$factor squares ($blocks pixels off)"
    colours=$(identify -format %k "$work/picture.png")
    reference=$(identify -format %k "$work/ref/menu.png")
    [ "$colours" = "$reference" ] ||
        fail "the picture has $colours colours, the 1:1 frame $reference: not sharp"
    echo "ok: $name: the menu at $factor:1 at $picture, $colours colours as the 1:1 frame"
else
    compare_size=400x300 expect_frame menu.png "$picture" 0.01 "$work/ref/menu.png" 800x600+0+0
    convert "$work/menu.png" -crop "$picture" +repage "$work/picture.png"
    colours=$(identify -format %k "$work/picture.png")
    reference=$(identify -format %k "$work/ref/menu.png")
    [ "$colours" -gt "$reference" ] ||
        fail "smooth scaling shows $colours colours, no more than the 1:1 frame's $reference"
    echo "ok: $name: the menu fills $picture, filtered ($colours colours, 1:1 $reference)"
fi
# Black bars around it.
if [ "$px" -gt 0 ]; then
    convert -size "${px}x$wh" xc:black "$work/black.png"
    expect_frame menu.png "${px}x$wh+0+0" 0 "$work/black.png" "${px}x$wh+0+0"
fi
if [ "$py" -gt 0 ]; then
    convert -size "${ww}x$py" xc:black "$work/black.png"
    expect_frame menu.png "${ww}x$py+0+0" 0 "$work/black.png" "${ww}x$py+0+0"
fi

# A click where the picture shows the options item opens the options screen: its title and
# the top of its panel (below them the display row shows full screen or window, and the
# country field's caret blinks).
xdotool mousemove --window "$window" $((px + 500 * pw / 800)) $((py + 260 * ph / 600)) click 1
xdotool mousemove --window "$window" $((px + 700 * pw / 800)) $((py + 100 * ph / 600))
compare_size=400x100 expect_frame options.png "${pw}x$((ph / 3))+$px+$py" 0.01 \
    "$work/ref/options.png" 800x200+0+0
echo "ok: $name: a click on the options item at $((px + 500 * pw / 800)),$((py + 260 * ph / 600)) opens it"
check_error_output shm
