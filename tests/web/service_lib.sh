# Sourced by the browser tests: starts the score service on a free local port serving SITE,
# keeping its results in OUT/scores.db and its log in OUT/service.txt; sets `base` to its address
# (ending in "/") and stops it when the test's shell exits. Exits 1, with the log, when it does
# not start.
#   start_service SCORES_TOOL SITE OUT
start_service() {
    local scores=$1 site=$2 out=$3
    "$scores" --listen 127.0.0.1:0 --site "$site" --db "sqlite:$out/scores.db" 2>"$out/service.txt" &
    service=$!
    trap 'kill $service 2>/dev/null' EXIT
    base=
    for _ in $(seq 300); do
        base=$(sed -n 's|^pondlark-scores: serving \(http://[^ ]*/\) .*|\1|p' "$out/service.txt")
        [ -n "$base" ] && break
        sleep 0.1
    done
    [ -n "$base" ] || { echo "the score service did not start:"; cat "$out/service.txt"; exit 1; }
}
