#!/bin/sh
# Builds the libFuzzer targets and runs each for SECONDS (default 300), one after another.
#   fuzz/run.sh [SECONDS] [GAMEDIR]
# The seeds are cut from the game's own archives (GAMEDIR, default build/game, made by
# scripts/setup) by fuzz/make_corpus.cpp, beside the small hand-made ones of fuzz/corpus/;
# without a built game only those are used. Needs clang with libFuzzer (Debian: clang, and
# libclang-rt-14-dev where the runtime is split out). Findings and the grown corpora land in
# fuzz-out/ at the top of the work tree.
set -e
SECONDS_EACH=${1:-300}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
GAME=${2:-$ROOT/build/game}
OUT=$ROOT/fuzz-out
mkdir -p "$OUT"
FLAGS="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$ROOT"
ENGINE="$ROOT/engine/ComponentStream.cpp $ROOT/engine/ArchiveReader.cpp $ROOT/engine/ArchiveWriter.cpp $ROOT/engine/StandardColors.cpp $ROOT/engine/THashCollection.cpp $ROOT/engine/DibCodec.cpp $ROOT/engine/TWave.cpp $ROOT/platform/Files.cpp"
PERSIST="$ROOT/persist/Config.cpp $ROOT/persist/Settings.cpp $ROOT/persist/TextEncoding.cpp $ROOT/persist/EntryText.cpp $ROOT/persist/HighScores.cpp"
# The score service's reading of results: the game's payload code and the service's checks.
RESULT="$ROOT/persist/TextEncoding.cpp $ROOT/persist/ResultPayload.cpp $ROOT/persist/EntryText.cpp $ROOT/server/ResultCheck.cpp"
# The replay reader.
REPLAY="$ROOT/platform/Replay.cpp"
DEFINES="-DPONDLARK_SERVICE_HOST=\"fuzz\" -DPONDLARK_SERVICE_PORT=80"

SEEDS=$OUT/seeds
if [ -f "$GAME/Data/Graphic.dxg" ] && [ -f "$GAME/Data/Music.dxw" ]; then
    echo "== cutting seeds from $GAME"
    rm -rf "$SEEDS"
    clang++ -std=c++20 -O1 -I"$ROOT" $DEFINES "$ROOT/fuzz/make_corpus.cpp" $ENGINE $PERSIST \
        -o "$OUT/make_corpus"
    "$OUT/make_corpus" "$GAME/Data/Graphic.dxg" "$GAME/Data/Music.dxw" "$SEEDS"
else
    echo "== no built game in $GAME: only the hand-made seeds of fuzz/corpus"
fi
mkdir -p "$SEEDS/archive" "$SEEDS/dib" "$SEEDS/wave" "$SEEDS/config" "$SEEDS/result" "$SEEDS/settings" "$SEEDS/replay"

for target in archive dib wave config result settings replay; do
    echo "== building fuzz_$target"
    sources="$ENGINE $PERSIST"
    [ "$target" = result ] && sources=$RESULT
    [ "$target" = replay ] && sources=$REPLAY
    clang++ $FLAGS $DEFINES "$ROOT/fuzz/fuzz_$target.cpp" $sources -o "$OUT/fuzz_$target"
    mkdir -p "$OUT/corpus_$target"
    hand="$ROOT/fuzz/corpus/$target"
    [ -d "$hand" ] || hand=""
    echo "== running fuzz_$target for ${SECONDS_EACH}s"
    # The largest picture of the game is a 1 MB DIB; inputs up to that size are tried whole.
    (cd "$OUT" && "./fuzz_$target" -max_total_time="$SECONDS_EACH" -max_len=1048576 \
        -rss_limit_mb=2048 -print_final_stats=1 "corpus_$target" "$SEEDS/$target" $hand)
done
