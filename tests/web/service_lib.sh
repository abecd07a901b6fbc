# Sourced by the browser tests.
#
# need_browser SOURCE_DIR: sets `site` (the web build's page) and `driver` (the browser driver's
# folder), or exits 77 (skipped, with the reason) when the web build, Chromium, node or the
# driver is missing.
need_browser() {
    site=$1/build-web/site
    skip() { echo "SKIPPED: $*"; exit 77; }
    compgen -G "$site/game.*.wasm" >/dev/null && [ -f "$site/index.html" ] ||
        skip "the web build is not present (scripts/web --build-only makes it in build-web/site)"
    [ -x /usr/bin/chromium ] || skip "Debian's chromium is not installed (scripts/setup installs it)"
    command -v node >/dev/null || skip "node is not installed (scripts/web-deps installs it)"
    driver=${PONDLARK_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pondlark-web}/driver
    [ -d "$driver/node_modules/playwright-core" ] ||
        skip "playwright-core is not installed in $driver (scripts/web-deps installs it)"
}

# Starts the score service on a free local port serving SITE, with any further OPTIONS,
# keeping its results in OUT/scores.db and its log in OUT/service.txt; sets `base` to its address
# (ending in "/") and stops it when the test's shell exits. Exits 1, with the log, when it does
# not start.
#   start_service SCORES_TOOL SITE OUT [OPTION...]
start_service() {
    local scores=$1 site=$2 out=$3
    shift 3
    "$scores" --listen 127.0.0.1:0 --site "$site" --db "sqlite:$out/scores.db" "$@" 2>"$out/service.txt" &
    service=$!
    trap 'kill $service 2>/dev/null' EXIT
    base=
    for _ in $(seq 300); do
        base=$(sed -n 's|^pondlark-scores: serving \(http://[^ ]*/\) .*|\1|p' "$out/service.txt" 2>/dev/null)
        [ -n "$base" ] && break
        sleep 0.1
    done
    [ -n "$base" ] || { echo "the score service did not start:"; cat "$out/service.txt"; exit 1; }
}
