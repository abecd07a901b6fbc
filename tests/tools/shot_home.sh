#!/bin/sh
# pondlark-shot --home DIR: the game reads Config.cfg from DIR at the start, writes it there,
# and leaves it in place. Run A types WALES as the country into an empty home; run B, on the
# same home, adds an X; run C, on a fresh home, types WALESX at once. B's file must differ
# from A's (B wrote it) and equal C's (B read WALES first). The game folder never gets a
# Config.cfg.
#   shot_home.sh GAMEDIR SHOT
set -eu
game=$1
shot=$2
work=$(mktemp -d /tmp/pondlark-shot-home-XXXXXX)
trap 'rm -rf "$work"' EXIT

# The options screen, a click into the country field, a text, and back (which saves).
country() {
    printf 'seed 1\nwait 2100\nclick 500 260\nwait 60\nclick 500 420\ntype %s\nwait 100\n' "$1"
    printf 'key Escape\nwait 100\n'
}
run() { # SCRIPT HOME
    "$shot" --dir "$game" --script "$1" --out "$work/shots" --home "$2" >/dev/null
}

country WALES > "$work/a.txt"
country X > "$work/b.txt"
country WALESX > "$work/c.txt"

run "$work/a.txt" "$work/home"
[ -f "$work/home/Config.cfg" ] || { echo "no Config.cfg left in the home folder"; exit 1; }
cp "$work/home/Config.cfg" "$work/a.cfg"
run "$work/b.txt" "$work/home"
if cmp -s "$work/home/Config.cfg" "$work/a.cfg"; then
    echo "run B did not write Config.cfg into the home folder"
    exit 1
fi
run "$work/c.txt" "$work/fresh"
cmp "$work/home/Config.cfg" "$work/fresh/Config.cfg" ||
    { echo "run B did not start from the country run A left"; exit 1; }
[ ! -e "$game/Config.cfg" ] || { echo "the game folder got a Config.cfg"; exit 1; }
echo "ok: Config.cfg read from, written to and left in the --home folder"
