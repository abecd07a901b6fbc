#!/bin/sh
# The replay tools' promises: pondlark-shot --save-replay keeps a script's game,
# pondlark-shot --replay plays it to one line and status 0, and a damaged, truncated or foreign
# file is an error with a non-zero status; pondlark-verify answers "verified ..." (0) for the
# true claim, "refused: ..." (1) for a false one and 2 for a usage error.
#   replay_tools.sh GAMEDIR SHOT VERIFY SCRIPT
set -eu
game=$1
shot=$2
verify=$3
script=$4
work=$(mktemp -d /tmp/pondlark-replay-tools-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

"$shot" --dir "$game" --script "$script" --out "$work/shots" --save-replay "$work/game.plkr" \
    >/dev/null
line=$("$shot" --dir "$game" --replay "$work/game.plkr") || fail "a good replay failed"
echo "$line" | grep -Eqx 'replay: score 385 level 2 frames [0-9]+' || fail "unexpected: $line"
frames=${line##* }

size=$(wc -c < "$work/game.plkr")
head -c $((size / 2)) "$work/game.plkr" > "$work/truncated.plkr"
cp "$work/game.plkr" "$work/damaged.plkr"
printf '\377' | dd of="$work/damaged.plkr" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
printf 'GIF89a not a replay' > "$work/foreign.plkr"
for bad in truncated damaged foreign missing; do
    if "$shot" --dir "$game" --replay "$work/$bad.plkr" > "$work/out" 2> "$work/err"; then
        fail "pondlark-shot --replay took the $bad file"
    fi
    [ -s "$work/err" ] || fail "no message for the $bad file"
    [ ! -s "$work/out" ] || fail "the $bad file printed a result"
done

claim() { "$verify" --dir "$game" --name "" --country "" --token "" --score "$1" < "$work/game.plkr"; }
out=$(claim 385) || fail "the true claim was refused: $out"
[ "$out" = "verified score 385 level 2 frames $frames" ] || fail "unexpected: $out"
status=0
out=$(claim 390) || status=$?
[ "$status" = 1 ] || fail "a false claim gave status $status"
[ "$out" = "refused: score differs (claimed 390, replay says 385)" ] || fail "unexpected: $out"
status=0
"$verify" --dir "$game" --score 385 < "$work/game.plkr" 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "a usage error gave status $status"
status=0
out=$("$verify" --dir "$game" --name "" --country "" --token "" --score 385 \
    < "$work/truncated.plkr") || status=$?
[ "$status" = 1 ] && [ "$out" = "refused: truncated replay" ] || fail "truncated: $status $out"
echo "ok: replays played, checked and refused as promised"
