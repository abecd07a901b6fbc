#!/usr/bin/env bash
# An independent player must read every song without a warning.
set -euo pipefail
music_dir=$1
command -v openmpt123 >/dev/null || { echo "openmpt123 is not installed"; exit 77; }
for song in 1 2 3; do
    info=$(openmpt123 --info "$music_dir/$song.xm" 2>&1)
    echo "$info" | grep -E "Title|Duration"
    if echo "$info" | grep -qiE "warn|error"; then
        echo "$song.xm: $info" >&2
        exit 1
    fi
done
