#!/usr/bin/env bash
# The Debian packages, built by scripts/package (which also runs lintian --pedantic and fails on
# any remark), are unpacked into a scratch root: each holds exactly its file list, the desktop
# entry and the AppStream metainfo pass their validators, the game starts headless from the
# installed launcher with its data from /usr/share/games/pondlark, and the installed score
# service answers. Skipped, saying why, where the Debian tools are missing.
#   package.sh SOURCE_DIR [DEB_DIR]   (with DEB_DIR: check those .deb files, build nothing)
set -uo pipefail
src=${1:?usage: package.sh SOURCE_DIR [DEB_DIR]}
debs=${2:-}
. "$src/tests/release/rows.sh"

missing=()
for tool in dpkg-buildpackage dh lintian desktop-file-validate appstreamcli dpkg-deb curl; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
[ -e /usr/share/perl5/Debian/Debhelper/Sequence/installsysusers.pm ] || missing+=(debhelper)
if ((${#missing[@]})); then
    echo "package test: skipped, missing ${missing[*]} (scripts/setup installs them)"
    exit 77
fi
if [ -z "$debs" ]; then
    "$src/scripts/package" || exit 1
    debs=$src/build-deb
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/pondlark-package.XXXXXX")
service=""
trap '[ -z "$service" ] || kill "$service" 2>/dev/null; rm -rf "$tmp"' EXIT
root=$tmp/root
version=$(dpkg-deb -f "$debs"/pondlark_*.deb Version)

# PACKAGE | its exact files and links (the docs every package has aside)
rows="pondlark|usr/games/pondlark
usr/lib/games/pondlark/pondlark
usr/share/applications/pondlark.desktop
usr/share/man/man6/pondlark.6.gz
usr/share/metainfo/example.tallowgate.pondlark.metainfo.xml
pondlark-data|usr/share/games/pondlark/Data/GameFont.otf
usr/share/games/pondlark/Data/Graphic.dxg
usr/share/games/pondlark/Data/Music.dxw
usr/share/games/pondlark/Music/1.xm
usr/share/games/pondlark/Music/2.xm
usr/share/games/pondlark/Music/3.xm
usr/share/icons/hicolor/128x128/apps/pondlark.png
usr/share/icons/hicolor/16x16/apps/pondlark.png
usr/share/icons/hicolor/256x256/apps/pondlark.png
usr/share/icons/hicolor/32x32/apps/pondlark.png
usr/share/icons/hicolor/48x48/apps/pondlark.png
usr/share/icons/hicolor/64x64/apps/pondlark.png
usr/share/icons/hicolor/scalable/apps/pondlark.svg
pondlark-scores|lib/systemd/system/pondlark-scores.service
usr/bin/pondlark-scores
usr/bin/pondlark-verify
usr/lib/sysusers.d/pondlark-scores.conf
usr/share/man/man1/pondlark-scores.1.gz
usr/share/man/man1/pondlark-verify.1.gz"
# The table above, one "PACKAGE|FILE" line per file.
expected=$(awk -F'|' 'NF == 2 { package = $1; print; next } { print package "|" $0 }' <<<"$rows")
for package in pondlark pondlark-data pondlark-scores; do
    row_begin
    deb=$(ls "$debs/${package}_"*.deb 2>/dev/null | head -1)
    if [ -z "$deb" ]; then
        problem "no .deb in $debs"
    else
        listing=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||')
        got=$(grep -v "^usr/share/doc/$package/" <<<"$listing" | sort)
        want=$(grep "^$package|" <<<"$expected" | cut -d'|' -f2 | sort)
        [ "$got" = "$want" ] || problem "files differ from the list: $(diff <(echo "$want") <(echo "$got") | grep '^[<>]' | tr '\n' ' ')"
        for doc in copyright changelog.gz; do
            grep -qx "usr/share/doc/$package/$doc" <<<"$listing" || problem "no $doc"
        done
        dpkg-deb -x "$deb" "$root"
    fi
    row_end "files of $package"
done

row_begin
# The face is the font package's own file, by a link within /usr.
font=/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf
link=$root/usr/share/games/pondlark/Data/GameFont.otf
[ -L "$link" ] || problem "GameFont.otf is no link"
[ "$(cd "$(dirname "$link")" && realpath -m "$(readlink "$link")")" = "$root$font" ] ||
    problem "GameFont.otf points to $(readlink "$link"), not $font"
dpkg-deb -f "$debs"/pondlark-data_*.deb Depends | grep -q fonts-comic-neue ||
    problem "pondlark-data does not depend on fonts-comic-neue"
dpkg-deb -f "$debs"/pondlark_*.deb Depends | grep -qF "pondlark-data (= $version)" ||
    problem "pondlark does not depend on its own pondlark-data"
# The scratch root gets the font as the dependency would install it.
mkdir -p "$(dirname "$root$font")" && cp "$font" "$root$font"
row_end "the face links to fonts-comic-neue"

row_begin
# The game loads libcurl by name only to send a result, so dpkg-shlibdeps cannot see it there:
# the control file must name it, and the program must not link it at start.
dpkg-deb -f "$debs"/pondlark_*.deb Depends | grep -qE '(^|[ ,])libcurl4( |,|$)' ||
    problem "pondlark does not depend on libcurl4, which it loads to send a result"
needed=$(readelf -d "$root/usr/lib/games/pondlark/pondlark" 2>&1 | grep NEEDED)
[ -n "$needed" ] || problem "readelf found no libraries in the installed program"
! grep -q 'libcurl' <<<"$needed" || problem "the program links libcurl at start"
row_end "libcurl: named by the package, loaded only to send a result"

row_begin
desktop=$root/usr/share/applications/pondlark.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || problem "desktop-file-validate: $out"
[ -z "$out" ] || problem "desktop-file-validate: $out"
grep -qx 'Exec="/usr/games/pondlark"' "$desktop" || problem "Exec is $(grep ^Exec= "$desktop")"
grep -qx 'Icon=pondlark' "$desktop" || problem "the entry names another icon"
row_end "desktop-file-validate"

row_begin
metainfo=$root/usr/share/metainfo/example.tallowgate.pondlark.metainfo.xml
out=$(appstreamcli validate --pedantic --no-net --no-color "$metainfo" 2>&1) ||
    problem "appstreamcli: $out"
echo "$out" | sed 's/^/  appstreamcli: /'
grep -qF "<release version=\"$version\"" "$metainfo" || problem "no release entry for $version"
grep -qF '<launchable type="desktop-id">pondlark.desktop</launchable>' "$metainfo" ||
    problem "the metainfo does not launch pondlark.desktop"
row_end "appstreamcli validate --pedantic"

# The installed game, started headless by its launcher as the desktop entry does (the launcher
# finds its program and data relative to itself, so it runs inside the scratch root). With
# the data present it plays until stopped; with the pictures taken away from
# usr/share/games/pondlark it stops at once, which shows where the data comes from.
play() { # LOG: the launcher's status after about three seconds (124: still running)
    local status=0
    (cd "$tmp" && env -u XDG_DATA_HOME HOME="$tmp/home" SDL_VIDEODRIVER=dummy \
        SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
        timeout -k 3 3 "$root/usr/games/pondlark") >"$1" 2>&1 || status=$?
    echo "$status"
}
row_begin
mkdir -p "$tmp/home"
[ "$("$root/usr/games/pondlark" --version)" = "pondlark $version" ] ||
    problem "--version is not the package's $version"
status=$(play "$tmp/play.log")
[ "$status" -eq 124 ] || problem "the game ended by itself with $status: $(cat "$tmp/play.log")"
[ -s "$tmp/home/.local/share/pondlark/Config.cfg" ] || problem "no Config.cfg in the player's folder"
others=$(grep -v '^pondlark: presenting ' "$tmp/play.log")
[ -z "$others" ] || problem "the game said: $others"
mv "$root/usr/share/games/pondlark/Data/Graphic.dxg" "$tmp/"
status=$(play "$tmp/nodata.log")
[ "$status" -eq 1 ] || problem "without usr/share/games/pondlark/Data/Graphic.dxg it gave $status, not 1"
mv "$tmp/Graphic.dxg" "$root/usr/share/games/pondlark/Data/"
row_end "the installed game starts headless"

row_begin
unit=$root/lib/systemd/system/pondlark-scores.service
grep -q '^ExecStart=/usr/bin/pondlark-scores ' "$unit" || problem "the unit starts $(grep ^ExecStart= "$unit")"
grep -qx 'User=pondlark-scores' "$unit" || problem "the unit runs as another user"
grep -q '^u pondlark-scores ' "$root/usr/lib/sysusers.d/pondlark-scores.conf" ||
    problem "sysusers.d makes no pondlark-scores user"
postinst=$(dpkg-deb --ctrl-tarfile "$debs"/pondlark-scores_*.deb | tar -xO ./postinst)
grep -q systemd-sysusers <<<"$postinst" ||
    problem "the postinst does not make the user"
"$root/usr/bin/pondlark-scores" --listen 127.0.0.1:0 --db "sqlite:$tmp/scores.db" 2>"$tmp/scores.log" &
service=$!
port=""
for _ in $(seq 50); do
    port=$(grep -o '127\.0\.0\.1:[0-9]*' "$tmp/scores.log" | head -1 | cut -d: -f2)
    [ -n "$port" ] && break
    sleep 0.1
done
answer=$(curl -s --max-time 5 "http://127.0.0.1:${port:-1}/healthz")
[[ "$answer" == ok* ]] || problem "the installed service answered /healthz with: $answer ($(cat "$tmp/scores.log"))"
# The verifier beside it and the game's data are found without options.
grep -q "verifying with $root/usr/bin/pondlark-verify in $root/usr/share/games/pondlark" "$tmp/scores.log" ||
    problem "the installed service does not verify with the installed verifier: $(cat "$tmp/scores.log")"
verdict=$("$root/usr/bin/pondlark-verify" --dir "$root/usr/share/games/pondlark" --name A \
    --country "" --score 0 --token x </dev/null)
[[ "$verdict" == refused:* ]] || problem "the installed verifier said $verdict to an empty replay"
row_end "the score service package"

exit $((failures > 0))
