#!/usr/bin/env bash
# Install layouts as a table: each row installs the built game one way into a fresh folder and
# checks the exact file list under the root (nothing more, nothing elsewhere), that the desktop
# entry starts the installed launcher, and that the launcher finds the program and its data.
#   install_layouts.sh CMAKE BUILD_DIR DEFAULT_LAYOUT(gnu|games)
set -euo pipefail

cmake=${1:?usage: install_layouts.sh CMAKE BUILD_DIR DEFAULT_LAYOUT}
build=${2:?usage: install_layouts.sh CMAKE BUILD_DIR DEFAULT_LAYOUT}
default_layout=${3:?usage: install_layouts.sh CMAKE BUILD_DIR DEFAULT_LAYOUT}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-layouts.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL [$row]: $*" >&2
    failures=$((failures + 1))
}

# What every layout installs besides the program, launcher and data.
common="share/applications/pondlark.desktop
share/icons/hicolor/16x16/apps/pondlark.png
share/icons/hicolor/32x32/apps/pondlark.png
share/icons/hicolor/48x48/apps/pondlark.png
share/icons/hicolor/64x64/apps/pondlark.png
share/icons/hicolor/128x128/apps/pondlark.png
share/icons/hicolor/256x256/apps/pondlark.png
share/icons/hicolor/scalable/apps/pondlark.svg
share/man/man6/pondlark.6
share/metainfo/example.tallowgate.pondlark.metainfo.xml"
files_of() { # LAYOUT: the exact list, relative to the prefix
    local bin program data
    case $1 in
    gnu) bin=bin program=libexec/pondlark data=share/pondlark ;;
    games) bin=games program=lib/games/pondlark data=share/games/pondlark ;;
    esac
    {
        echo "$common"
        echo "$bin/pondlark"
        echo "$program/pondlark"
        for f in Data/GameFont.otf Data/Graphic.dxg Data/Music.dxw Music/1.xm Music/2.xm Music/3.xm; do
            echo "$data/$f"
        done
    } | sort
}
launcher_of() { case $1 in gnu) echo bin/pondlark ;; games) echo games/pondlark ;; esac; }

# ROW-NAME | DESTDIR (- for none) | PREFIX | LAYOUT. The prefix has a space: launchers and
# desktop entries must quote it.
rows="prefix|-|$tmp/prefix P|$default_layout
destdir gnu|$tmp/stage|/usr|gnu
destdir games|$tmp/stage|/usr|games"

while IFS='|' read -r row destdir prefix layout; do
    before=$failures
    rm -rf "$tmp/stage" "$tmp/prefix P" "$tmp/xdg"
    component=()
    if [ "$layout" != "$default_layout" ]; then component=(--component "$layout-layout"); fi
    env_destdir=()
    root=$prefix
    if [ "$destdir" != - ]; then
        env_destdir=(DESTDIR="$destdir")
        root=$destdir$prefix
    fi
    if ! env "${env_destdir[@]}" "$cmake" --install "$build" --prefix "$prefix" "${component[@]}" \
        >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log" >&2
        fail "cmake --install failed"
        continue
    fi
    # Everything lands under the root; with DESTDIR nothing lands beside the prefix either.
    top=${destdir#-}
    [ -n "$top" ] || top=$prefix
    got=$(cd "$top" && find . \( -type f -o -type l \) -printf '%P\n' | sort)
    below=""
    [ "$root" = "$top" ] || below=${root#"$top"/}/
    want=$(files_of "$layout" | sed "s|^|$below|" | sort)
    [ "$got" = "$want" ] || fail "installed files differ from the list:
$(diff <(echo "$want") <(echo "$got") || true)"

    desktop="$root/share/applications/pondlark.desktop"
    exec_line=$(grep '^Exec=' "$desktop" || true)
    [ "$exec_line" = "Exec=\"$prefix/$(launcher_of "$layout")\"" ] ||
        fail "the desktop entry starts $exec_line, not the installed launcher"
    case $exec_line in *"$tmp/stage"*) fail "the desktop entry names the staging folder" ;; esac

    # The launcher finds the program beside it, wherever the root was moved to.
    out=$(XDG_DATA_HOME="$tmp/xdg" "$root/$(launcher_of "$layout")" --version 2>&1) ||
        fail "the launcher failed: $out"
    [[ "$out" == "pondlark "* ]] || fail "the launcher's --version said: $out"
    [ "$failures" -ne "$before" ] || echo "ok [$row]: $(echo "$got" | wc -l) files under $top"
done <<<"$rows"

exit $((failures > 0))
