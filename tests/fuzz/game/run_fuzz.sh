#!/usr/bin/env bash
# Builds the game's fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each in turn, niced,
# from its seeds in tests/fuzz/game/seeds/ (the project's own stages, saved
# files, replays, scripts, stage sources and sounds; the movie seeds are
# made by the project's movie writer). Not part of the normal build or run.
#
#   tests/fuzz/game/run_fuzz.sh [SECONDS] [TARGET...]
#
# TARGET: stage_files saved_files replay input_script stage_text wav ogg
# movie (default: all). Each runs until SECONDS (default 60) have passed or
# FUZZ_RUNS executions (default: no limit) are done. The corpus grows in
# build-fuzz/corpus/TARGET; a crash is kept in build-fuzz/crashes/ and ends
# the run; a summary line per target goes to build-fuzz/fuzz-summary.txt.
set -euo pipefail
cd "$(dirname "$0")/../../.."
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(stage_files saved_files replay input_script stage_text wav ogg movie)
BUILD=${LUMOTTA_FUZZ_BUILD_DIR:-build-fuzz}
RUNS=${FUZZ_RUNS:--1}

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMOTTA_SANITIZE=address,undefined -DLUMOTTA_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j"${JOBS:-2}" --target make_movie_seed "${TARGETS[@]/#/fuzz_}"
mkdir -p "$BUILD/crashes" "$BUILD/logs"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for target in "${TARGETS[@]}"; do
  corpus=$BUILD/corpus/$target
  mkdir -p "$corpus"
  cp -n tests/fuzz/game/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
  [ "$target" = movie ] && ASAN_OPTIONS=detect_leaks=0 "$BUILD/tests/fuzz/game/make_movie_seed" "$corpus"
  log=$BUILD/logs/$target.txt
  start=$(date +%s)
  nice -n 10 "$BUILD/tests/fuzz/game/fuzz_$target" "$corpus" -max_total_time="$SECONDS_EACH" -runs="$RUNS" \
    -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$BUILD/crashes/$target-" >"$log" 2>&1 || status=1
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  found=$(grep -c -E '^==[0-9]+==ERROR|runtime error|deadly signal|Test unit written' "$log" || true)
  line="$target: $runs executions in $(( $(date +%s) - start )) s, $(ls "$corpus" | wc -l) corpus files, $found findings"
  echo "$line" | tee -a "$BUILD/fuzz-summary.txt"
done
exit $status
