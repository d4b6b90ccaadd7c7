#!/usr/bin/env bash
# The soak run: the whole program, headless, played by random but plausible
# input for MINUTES (default 60), sampled every 10 s. Not part of ctest.
#   bench/soak/run.sh [MINUTES] [SEED]
# Prints the samples as they come and a summary; the full output is kept in
# build/soak/soak.txt. Fails on a crash (reported here), a hang, growth within
# a scene, or a saved file changed by anything but the game's save at exit.
set -uo pipefail
cd "$(dirname "$0")/../.."
MINUTES=${1:-60}
SEED=${2:-$(date +%s)}
BUILD=${LUMOTTA_BUILD_DIR:-build}
OUT=$BUILD/soak
mkdir -p "$OUT"
echo "soak: $MINUTES min, seed $SEED"
"$BUILD/bench/soak/bench_soak" --data "$BUILD/data" --work "$OUT/work" --source . \
  --minutes "$MINUTES" --seed "$SEED" 2>&1 | tee "$OUT/soak.txt"
status=${PIPESTATUS[0]}
if [ "$status" -gt 128 ]; then
  echo "soak: FAIL: the program died of signal $((status - 128))" | tee -a "$OUT/soak.txt"
fi
exit "$status"
