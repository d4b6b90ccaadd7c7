#!/usr/bin/env bash
# Saves under faults, with the real program:
#  1. killed (SIGKILL) at random moments around its save at exit, many times:
#     each saved file is always the old file whole or the new file whole;
#  2. the disk full under its saved files (a small tmpfs, filled while it
#     runs) and 3. their folder made read-only while it runs: the save fails,
#     the old files stay whole, standard error says so and the exit status
#     is 1.
# 2 and 3 need a mount namespace (root); without one they are left out.
#   saves_under_faults.sh PROGRAM SAVE_KILLER DATA SOURCE WORK
set -uo pipefail
program=$1 killer=$2 data=$3 source=$4 work=$5
runs=${SAVE_KILLER_RUNS:-60}
source "$source/tests/support/game_folder.sh"

fail() {
  echo "FAIL: $*"
  exit 1
}

fresh_work_folder "$work"
mkdir -p "$work/home"
make_game_folder "$data" "$work/game"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

"$killer" "$program" "$work/game" "$runs" "${SAVE_KILLER_SEED:-$RANDOM}" || fail "a killed save left a damaged file"

if ! unshare -m true 2>/dev/null; then
  echo "the full disk and the read-only folder are left out: no mount namespace here"
  exit 0
fi

# Each in a private mount namespace of its own: 01 on a tmpfs of 4 MB that
# holds the stage files; once the program is up the rest is filled.
full_disk() {
  local stages="$work/stages"
  rm -rf "$stages" && cp -a "$work/game/01" "$stages"
  mount -t tmpfs -o size=4m none "$work/game/01" || return 1
  cp -a "$stages"/. "$work/game/01/"
  "$killer" --unsaved "$program" "$work/game" "$work/err-full.txt" \
    "dd if=/dev/zero of=01/filler bs=4k 2>/dev/null; true"
}
read_only() {
  mount --bind "$work/game/01" "$work/game/01" || return 1
  "$killer" --unsaved "$program" "$work/game" "$work/err-read-only.txt" "mount -o remount,ro,bind 01"
}
export -f full_disk read_only
export work program killer

for fault in full_disk read_only; do
  unshare -m --propagation private bash -c "$fault" || fail "$fault: the save did not fail cleanly"
done
for what in "The settings" "The ranking" "The joypad buttons" "The highest stage"; do
  grep -q "Lumotta: $what could not be saved to .*/01/.*No space left on device" "$work/err-full.txt" ||
    fail "full disk: standard error does not say '$what could not be saved': $(cat "$work/err-full.txt")"
  grep -q "Lumotta: $what could not be saved to .*/01/.*Read-only file system" "$work/err-read-only.txt" ||
    fail "read-only folder: standard error does not say '$what could not be saved': $(cat "$work/err-read-only.txt")"
done
echo "PASS: killed saves, a full disk and a read-only folder left every saved file whole"
