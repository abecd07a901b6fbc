#!/usr/bin/env bash
# Installs the built game into a temporary prefix and runs it through the launcher from another
# folder: the program, data, launcher, desktop entry and icons are where desktops look for them,
# Config.cfg is written only to the per-user folder, and the install folder stays untouched.
# Then uninstalls by the install manifest, which must take away every installed file.
#   install.sh CMAKE BUILD_DIR
set -euo pipefail

cmake=${1:?usage: install.sh CMAKE BUILD_DIR}
build=${2:?usage: install.sh CMAKE BUILD_DIR}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix with space"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" || {
    cat "$tmp/install.log" >&2
    fail "cmake --install failed"
}

game="$prefix/share/pondlark"
program="$prefix/libexec/pondlark/pondlark"
for f in Data/Graphic.dxg Data/Music.dxw Data/GameFont.otf Music/1.xm Music/2.xm Music/3.xm; do
    [ -s "$game/$f" ] || fail "$game/$f is missing or empty"
done
[ -x "$program" ] || fail "the program $program is missing or not executable"
[ -x "$prefix/bin/pondlark" ] || fail "the launcher bin/pondlark is missing or not executable"
cmp -s "$game/Data/Graphic.dxg" "$build/game/Data/Graphic.dxg" ||
    fail "the installed picture archive differs from the built one"

desktop="$prefix/share/applications/pondlark.desktop"
[ -f "$desktop" ] || fail "no desktop entry at $desktop"
grep -qx '\[Desktop Entry\]' "$desktop" || fail "the desktop entry has no [Desktop Entry] group"
grep -qx 'Icon=pondlark' "$desktop" || fail "the desktop entry names no pondlark icon"
grep -qxF "Exec=\"$prefix/bin/pondlark\"" "$desktop" ||
    fail "the desktop entry does not start the installed launcher: $(grep ^Exec= "$desktop")"

for want in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${want}x${want}/apps/pondlark.png"
    [ -f "$icon" ] || fail "no icon at $icon"
    # A PNG's IHDR holds its width and height as big-endian words at bytes 16 and 20.
    [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$icon is no PNG"
    size=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
    [ "$size" = "${want}x${want}" ] || fail "$icon is $size, not ${want}x${want}"
done
svg="$prefix/share/icons/hicolor/scalable/apps/pondlark.svg"
grep -q '<svg ' "$svg" || fail "no scalable icon at $svg"
# Installs are stripped: no symbol table left in the program.
if command -v readelf >/dev/null; then
    ! readelf -S "$program" | grep -q '\.symtab' || fail "the installed program is not stripped"
fi

snapshot() { (cd "$prefix" && find . -printf '%p %s %T@\n' | sort); }
before=$(snapshot)

# Runs the launcher from `elsewhere` for about two seconds; the game must still be running
# when it is stopped (timeout's status 124), not have ended by itself.
run_game() {
    local log=$1
    shift
    local status=0
    (cd "$tmp/elsewhere" && env "$@" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        SDL_RENDER_DRIVER=software timeout -k 3 2 "$prefix/bin/pondlark") >"$log" 2>&1 ||
        status=$?
    [ "$status" -eq 124 ] || {
        cat "$log" >&2
        fail "the game ended by itself with status $status instead of running"
    }
}
mkdir -p "$tmp/elsewhere" "$tmp/xdg" "$tmp/home"

run_game "$tmp/run1.log" XDG_DATA_HOME="$tmp/xdg" HOME="$tmp/home"
[ -s "$tmp/xdg/pondlark/Config.cfg" ] || fail "no Config.cfg in \$XDG_DATA_HOME/pondlark"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the game wrote into the folder it was started from"
[ -z "$(ls -A "$tmp/home")" ] || fail "with XDG_DATA_HOME set the game wrote into HOME"
[ "$(ls -A "$tmp/xdg/pondlark")" = Config.cfg ] ||
    fail "the per-user folder holds more than Config.cfg: $(ls -A "$tmp/xdg/pondlark")"

# The second start keeps the first start's file: the per-user folder is made once.
cp "$tmp/xdg/pondlark/Config.cfg" "$tmp/first.cfg"
run_game "$tmp/run2.log" XDG_DATA_HOME="$tmp/xdg" HOME="$tmp/home"
cmp -s "$tmp/first.cfg" "$tmp/xdg/pondlark/Config.cfg" || fail "a second start changed Config.cfg"

# Without XDG_DATA_HOME (or with a relative one, which the base directory rules say to ignore)
# the folder is ~/.local/share/pondlark.
run_game "$tmp/run3.log" -u XDG_DATA_HOME HOME="$tmp/home"
[ -s "$tmp/home/.local/share/pondlark/Config.cfg" ] || fail "no Config.cfg in ~/.local/share/pondlark"
rm -rf "$tmp/home/.local"
run_game "$tmp/run4.log" XDG_DATA_HOME=relative/path HOME="$tmp/home"
[ -s "$tmp/home/.local/share/pondlark/Config.cfg" ] ||
    fail "a relative XDG_DATA_HOME was not ignored"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the game wrote into the folder it was started from"

[ "$(snapshot)" = "$before" ] || {
    diff <(echo "$before") <(snapshot) >&2 || true
    fail "running the game changed the install folder"
}
# The one line the game writes: how it presents its frames (SDL's dummy driver has no GL).
for log in "$tmp"/run*.log; do
    grep -qx "pondlark: presenting through the window system's shared memory (no GL)" "$log" &&
        ! grep -vqx "pondlark: presenting through the window system's shared memory (no GL)" \
            "$log" || {
        cat "$log" >&2
        fail "the game wrote more to its error output than how it presents ($log)"
    }
done

# The README's uninstall: the files the install manifest lists, then the game's own folders.
# Nothing installed may stay behind.
manifest="$build/install_manifest.txt"
grep -qF "$program" "$manifest" || fail "$manifest does not list this install"
xargs -d '\n' rm -f -- <"$manifest"
rmdir "$game/Data" "$game/Music" "$game" "$(dirname "$program")" ||
    fail "the game's folders hold more than it installed"
left=$(find "$prefix" -type f)
[ -z "$left" ] || fail "uninstalling by the manifest left: $left"
echo "install test passed: $prefix"
