#!/usr/bin/env bash
# Builds the archive fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time.
#   tests/fuzz/run_fuzz.sh [SECONDS_PER_TARGET]   (default 60)
#   FUZZ_TARGETS="expander" tests/fuzz/run_fuzz.sh 30   one target only
# Not part of ctest. Work lands in build/fuzz/; crashes are kept there.
set -euo pipefail
cd "$(dirname "$0")/../.."
SECONDS_PER_TARGET=${1:-60}
OUT=build/fuzz
mkdir -p "$OUT"
CXX=${CXX:-clang++}
FLAGS=(-std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
CORE=(media/files/sjis_names.cpp media/files/scramble_key.cpp media/files/archive_format.cpp
      media/files/expander.cpp media/files/archive_index.cpp tools/pack/compressor.cpp)

"$CXX" "${FLAGS[@]}" tests/fuzz/fuzz_archive_reader.cpp "${CORE[@]}" -o "$OUT/fuzz_archive_reader"
"$CXX" "${FLAGS[@]}" tests/fuzz/fuzz_expander.cpp "${CORE[@]}" -o "$OUT/fuzz_expander"
"$CXX" -std=c++20 -O1 -I. tests/fuzz/make_seeds.cpp "${CORE[@]}" tools/pack/archive_writer.cpp -o "$OUT/make_seeds"

mkdir -p "$OUT/corpus_archive" "$OUT/corpus_expander" "$OUT/crashes"
"$OUT/make_seeds" "$OUT/corpus_archive" "$OUT/corpus_expander"

TARGETS=${FUZZ_TARGETS:-archive_reader expander}
for target in $TARGETS; do
  corpus=$OUT/corpus_expander
  [ "$target" = archive_reader ] && corpus=$OUT/corpus_archive
  echo "== fuzz_$target for ${SECONDS_PER_TARGET}s"
  "$OUT/fuzz_$target" "$corpus" -max_total_time="$SECONDS_PER_TARGET" -rss_limit_mb=1024 \
    -max_len=16384 -artifact_prefix="$OUT/crashes/$target-" -print_final_stats=1 2>&1 |
    grep -E "^stat::number_of_executed_units|^stat::new_units_added|ERROR|SUMMARY|Done" || true
done
ls "$OUT/crashes"
