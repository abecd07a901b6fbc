#!/usr/bin/env bash
# Without a sound device the game plays on silently: it still runs, says once that it plays
# without sound, and the audio libraries' own lines stay off the terminal. With a device (SDL's
# dummy one) it says nothing about sound.
#   no_sound.sh PONDLARK GAME_DIR
set -uo pipefail
game=${1:?usage: no_sound.sh PONDLARK GAME_DIR}
data=${2:?usage: no_sound.sh PONDLARK GAME_DIR}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-nosound.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/rows.sh"
said="pondlark: no sound device: playing without sound"

# ROW | environment | times the line is said. ALSA with a device name nobody has is a missing
# device on every machine, sound card or not.
rows="alsa, no such device|SDL_AUDIODRIVER=alsa AUDIODEV=pondlark-no-such-device|1
no audio driver at all|SDL_AUDIODRIVER=pondlark-no-such-driver|1
a device|SDL_AUDIODRIVER=dummy|0"

while IFS='|' read -r row environment times; do
    read -ra vars <<<"$environment"
    status=0
    (cd "$tmp" && env "${vars[@]}" SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software \
        timeout -k 3 2 "$game" --data "$data") >"$tmp/out" 2>"$tmp/err" || status=$?
    row_begin
    [ "$status" -eq 124 ] || problem "the game ended by itself with status $status"
    count=$(grep -cxF "$said" "$tmp/err")
    [ "$count" -eq "$times" ] || problem "\"$said\" said $count times, not $times"
    # Besides that line, only how the frames are presented.
    others=$(grep -vxF "$said" "$tmp/err" | grep -v '^pondlark: presenting ')
    [ -z "$others" ] || problem "other lines reached the terminal: $others"
    row_end "$row"
done <<<"$rows"
exit $((failures > 0))
