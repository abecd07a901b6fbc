# Shared by the real-window tests. Outside the X server `make_work` lays out the test's folder;
# inside it `enter_x` prepares the test's shell, with `work` set to that folder (the fresh game
# folder in $work/game, the headless frames in $work/ref). `start_game` sets `game_pid` and
# `window`; `capture_from` (default: the root window) names the window that frames are
# captured from.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Makes `work`, a fresh folder (removed at exit) named after PREFIX, with a fresh game folder
# (the program and its data from GAME_DIR, no Config.cfg yet) and the headless reference
# frames of SCRIPT made by SHOT_TOOL.
make_work() {
    local prefix=$1 game_dir=$2 shot_tool=$3 script=$4
    work=$(mktemp -d "${TMPDIR:-/tmp}/$prefix.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/game"
    cp -r "$game_dir/pondlark" "$game_dir/Data" "$game_dir/Music" "$work/game/"
    "$shot_tool" --dir "$work/game" --script "$script" --out "$work/ref" >"$work/ref.log" ||
        {
            cat "$work/ref.log" >&2
            fail "pondlark-shot could not make the reference frames"
        }
}

# Inside the X server: the real window's drivers, the test's folder as working folder, and the
# game and the window manager (`wm_pid`, when one is started) ended at exit.
enter_x() {
    # The test suite runs with SDL's dummy drivers; this program needs the real window. There
    # is no sound card: the dummy audio driver keeps ALSA's complaints off the error output.
    # The presentation is the game's own choice unless a run forces one.
    unset SDL_VIDEODRIVER SDL_RENDER_DRIVER PONDLARK_PRESENT
    export SDL_AUDIODRIVER=dummy
    cd "$work"
    wm_pid=""
    game_pid=""
    trap 'end_x' EXIT
}
end_x() {
    [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
    [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
}

# The game's error output holds one line only: how it presents its frames, which must be `$1`
# ("shm": the window system's shared memory, what Xvfb's software GL calls for; "gl").
check_error_output() {
    local want="presenting through the window system's shared memory ("
    [ "$1" = gl ] && want="presenting with GL ("
    local log
    log=$(cat "$work/stderr.log")
    [ "$(grep -c '^pondlark: presenting ' "$work/stderr.log")" -eq 1 ] ||
        fail "the game did not say once how it presents its frames: $log"
    grep -qF "pondlark: $want" "$work/stderr.log" || fail "the game is not $want...): $log"
    ! grep -qv '^pondlark: presenting ' "$work/stderr.log" ||
        fail "the game wrote to its error output: $log"
}

alive() { kill -0 "$game_pid" 2>/dev/null || fail "the game ended early: $(cat "$work/stderr.log")"; }

# Starts the game in its folder and waits for its window.
start_game() {
    (cd "$work/game" && exec ./pondlark) 2>"$work/stderr.log" &
    game_pid=$!
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --name '^PONDLARK' 2>/dev/null | head -n1 || true)
        [ -n "$window" ] && break
        alive
        sleep 0.1
    done
    [ -n "$window" ] || fail "no PONDLARK window appeared within 10 s"
    # Keys go to the window with the focus; a window manager that started late under load may
    # not have given it yet. With one running it is asked, so it knows where the focus is.
    if [ -n "${wm_pid:-}" ]; then
        xdotool windowactivate "$window" 2>/dev/null || true
    else
        xdotool windowfocus "$window" 2>/dev/null || true
    fi
}

# Waits up to TENTHS tenths of a second for the game to end: `end_status` is then its exit
# status (and `game_pid` empty), or empty while it still runs.
wait_game_end() {
    end_status=""
    for _ in $(seq 1 "$1"); do
        if ! kill -0 "$game_pid" 2>/dev/null; then
            end_status=0
            wait "$game_pid" || end_status=$?
            game_pid=""
            return
        fi
        sleep 0.1
    done
}

fullscreen() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; }

# Presses a key long enough for the game's per-frame input states to see it.
press() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
}

capture() { import -window "${capture_from:-root}" "$work/$1"; }

# Fraction (0..1) of pixels that differ by more than 12 % in colour between region GEOMETRY
# (WxH+X+Y) of frame A and region REF_GEOMETRY (default: the same) of frame B. With
# `compare_size` set (WxH), both regions are first scaled to that size, which compares a
# picture the window shows scaled with the frame it scales. Anything but a pixel count from
# `compare` is a failure.
differs() {
    local a=$1 b=$2 geometry=${3:-800x600+0+0}
    local ref_geometry=${4:-$geometry}
    local size=()
    [ -z "${compare_size:-}" ] || size=(-filter Triangle -resize "$compare_size!")
    convert "$a" -crop "$geometry" +repage "${size[@]}" "$work/crop-a.png"
    convert "$b" -crop "$ref_geometry" +repage "${size[@]}" "$work/crop-b.png"
    local count
    count=$(compare -metric AE -fuzz 12% "$work/crop-a.png" "$work/crop-b.png" null: 2>&1 || true)
    [[ "$count" =~ ^[0-9]+$ ]] || fail "compare gave no pixel count for $a: $count"
    local compared=${compare_size:-$geometry}
    local w=${compared%%x*} rest=${compared#*x}
    local h=${rest%%+*}
    awk -v c="$count" -v n=$((w * h)) 'BEGIN { printf "%.4f", c / n }'
}

# Waits until the captured frame NAME matches a reference in REGION (at most LIMIT of its
# pixels off, 0.5 % by default), retrying for a few seconds while the game settles. The
# reference is the headless frame of the same name, or REF_FILE's REF_REGION when given.
expect_frame() {
    local name=$1 region=${2:-800x600+0+0} limit=${3:-0.005}
    local ref=${4:-$work/ref/$name} ref_region=${5:-${2:-800x600+0+0}} d=1
    for _ in $(seq 1 20); do
        alive
        capture "$name"
        d=$(differs "$work/$name" "$ref" "$region" "$ref_region") || exit 1
        awk -v d="$d" -v l="$limit" 'BEGIN { exit !(d <= l) }' && {
            echo "ok: $name ($d of the region differs)"
            return 0
        }
        sleep 0.25
    done
    fail "$name: $d of region $region differs from $(basename "$ref") (limit $limit)"
}
