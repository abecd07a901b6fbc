#!/bin/sh
# The game refuses a service address it cannot use, from the command line or the
# environment, with a message and status 2, before it opens a window.
#   service_option.sh PONDLARK
set -u
game=$1
check() { # EXPECTED-TEXT COMMAND...
    expected=$1
    shift
    out=$("$@" 2>&1)
    status=$?
    if [ "$status" -ne 2 ] || ! printf '%s' "$out" | grep -qF "$expected"; then
        echo "FAIL: $* gave status $status: $out"
        exit 1
    fi
}
check "PONDLARK_SERVICE wants HOST:PORT, not nohost" env PONDLARK_SERVICE=nohost "$game"
check "PONDLARK_SERVICE wants HOST:PORT, not a/b:80" env PONDLARK_SERVICE=a/b:80 "$game"
check "usage: pondlark [--data DIR] [--service HOST:PORT]" "$game" --service host:0
check "usage: pondlark [--data DIR] [--service HOST:PORT]" "$game" --service
echo "ok"
