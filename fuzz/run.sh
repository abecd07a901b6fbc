#!/bin/sh
# Builds the libFuzzer targets and runs each for SECONDS (default 60), one at a time.
#   fuzz/run.sh [SECONDS]
# Needs clang with libFuzzer (Debian: clang, and libclang-rt-14-dev where the runtime is split
# out). Findings land in fuzz-out/ at the top of the work tree.
set -e
SECONDS_EACH=${1:-60}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/fuzz-out
mkdir -p "$OUT"
FLAGS="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$ROOT"
ENGINE="$ROOT/engine/ComponentStream.cpp $ROOT/engine/ArchiveReader.cpp $ROOT/engine/ArchiveWriter.cpp $ROOT/engine/StandardColors.cpp $ROOT/engine/THashCollection.cpp $ROOT/engine/DibCodec.cpp $ROOT/engine/TWave.cpp"
# The score service's reading of results: the game's payload code and the service's checks.
RESULT="$ROOT/persist/TextEncoding.cpp $ROOT/persist/ResultPayload.cpp $ROOT/server/ResultCheck.cpp"
for target in archive dib wave result; do
    echo "== building fuzz_$target"
    sources=$ENGINE
    [ "$target" = result ] && sources=$RESULT
    clang++ $FLAGS "$ROOT/fuzz/fuzz_$target.cpp" $sources -o "$OUT/fuzz_$target"
    mkdir -p "$OUT/corpus_$target"
    echo "== running fuzz_$target for ${SECONDS_EACH}s"
    (cd "$OUT" && "./fuzz_$target" -max_total_time="$SECONDS_EACH" -max_len=65536 \
        -rss_limit_mb=2048 -print_final_stats=1 "corpus_$target" "$ROOT/fuzz/corpus/$target")
done
