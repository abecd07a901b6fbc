#!/usr/bin/env bash
# The game's command line as a table: what each call prints where, and its status. Help and
# the version go to standard output with status 0 before any window opens; a bad option is a
# usage error on standard error with status 2.
#   command_line.sh PONDLARK VERSION
set -uo pipefail
game=${1:?usage: command_line.sh PONDLARK VERSION}
version=${2:?usage: command_line.sh PONDLARK VERSION}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-cmdline.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/rows.sh"

# ARGUMENTS | STATUS | STREAM that holds TEXT (the other stays empty) | TEXT
rows="--help|0|out|usage: pondlark [--data DIR] [--service HOST:PORT] [--replay FILE] [--help] [--version]
--help|0|out|--replay FILE        watch a recorded game (P pauses, Esc leaves)
--replay /nowhere.plkr|1|err|pondlark: cannot read the replay /nowhere.plkr
--replay /etc/passwd|1|err|pondlark: /etc/passwd: not a replay
--replay|2|err|usage: pondlark
-h|0|out|--version            show the version and exit
--version|0|out|pondlark $version
--data /nowhere --version|0|out|pondlark $version
--bogus|2|err|pondlark: bad option or value: --bogus
--data|2|err|usage: pondlark
--service host:0|2|err|pondlark: bad option or value: --service
extra|2|err|pondlark: bad option or value: extra"

while IFS='|' read -r args want_status stream text; do
    # The arguments split on spaces, as written in the table.
    read -ra argv <<<"$args"
    (cd "$tmp" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 10 "$game" "${argv[@]}") \
        >"$tmp/out" 2>"$tmp/err"
    status=$?
    other=err
    [ "$stream" = out ] || other=out
    row_begin
    [ "$status" -eq "$want_status" ] || problem "status $status, not $want_status"
    grep -qF -- "$text" "$tmp/$stream" || problem "std$stream lacks \"$text\""
    [ ! -s "$tmp/$other" ] || problem "std$other is not empty: $(head -c 200 "$tmp/$other")"
    [ -z "$(ls -A "$tmp" | grep -v -x -e out -e err)" ] || problem "it wrote files: $(ls "$tmp")"
    row_end "pondlark $args"
done <<<"$rows"
exit $((failures > 0))
