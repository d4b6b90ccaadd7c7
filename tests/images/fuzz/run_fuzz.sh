#!/usr/bin/env bash
# Builds one libFuzzer target per picture decoder and runs each for a
# bounded time, seeded from the media corpus when it is present.
#   tests/images/fuzz/run_fuzz.sh [seconds per decoder] [decoder...]
# Not part of the normal build or test run. Needs clang++ with libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/../../.."
SECONDS_EACH=${1:-60}
shift || true
DECODERS=("$@")
[ ${#DECODERS[@]} -eq 0 ] && DECODERS=(Bmp Png Jpeg Tga Dds Bgra)
OUT=${LUMOTTA_FUZZ_DIR:-build/fuzz-images}
CORPUS_DIR=${LUMOTTA_CORPUS_DIR:-../shared/media-corpus}
mkdir -p "$OUT"

SOURCES=(media/images/byte_source.cpp media/images/picture.cpp media/images/decode_bmp.cpp
         media/images/decode_png.cpp media/images/decode_jpeg.cpp media/images/decode_tga.cpp
         media/images/decode_dds.cpp media/images/decode_bgra.cpp media/core/log.cpp)
FLAGS=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I. -Imedia/include $(pkg-config --cflags sdl2 libpng))
LIBS=($(pkg-config --libs sdl2 libpng) -ljpeg -lz)

declare -A EXT=([Bmp]=bmp [Png]=png [Jpeg]=jpg [Tga]=tga [Dds]=dds [Bgra]=bgra)
for d in "${DECODERS[@]}"; do
  bin="$OUT/fuzz_$d"
  clang++ "${FLAGS[@]}" -DDECODER="$d" tests/images/fuzz/decoder_fuzz.cpp "${SOURCES[@]}" "${LIBS[@]}" -o "$bin"
  corpus="$OUT/corpus_$d"
  mkdir -p "$corpus"
  if [ -d "$CORPUS_DIR" ] && [ -n "${EXT[$d]:-}" ]; then
    find "$CORPUS_DIR" -type f -iname "*.${EXT[$d]}" -size -200k -exec cp -n {} "$corpus/" \; 2>/dev/null || true
  fi
  echo "== $d: ${SECONDS_EACH}s"
  "$bin" "$corpus" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -malloc_limit_mb=1024 \
         -max_len=262144 -timeout=10 -print_final_stats=1 -artifact_prefix="$OUT/crash_${d}_" 2>&1 |
    grep -E "stat::number_of_executed_units|ERROR|SUMMARY|Test unit written|crash-|timeout-|oom-" || true
done
