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
# The failed saves below would also be shown in a message box of the
# desktop's (standard error is a file here): with no display, none shows.
unset DISPLAY WAYLAND_DISPLAY

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
# The whole game folder on a tmpfs of 4 MB (the stage files copied, the rest
# linked), filled once the program is up: the log of the run keeps what it
# said before and the failures of the save at exit; a start on the disk
# still full keeps that log rather than emptying it.
full_log_disk() {
  local game="$work/game-on-tmpfs"
  mkdir -p "$game"
  mount -t tmpfs -o size=4m none "$game" || return 1
  make_game_folder "$data" "$game"
  "$killer" --unsaved "$program" "$game" "$work/err-full-log.txt" \
    "dd if=/dev/zero of=filler bs=4k 2>/dev/null; true"
  cp "$game/Log.txt" "$work/log-full-disk.txt"
  # Started again on the full disk: that log is kept, not emptied.
  (cd "$game" && timeout -s TERM 5 "$program" 2>"$work/err-full-log-again.txt")
  cmp -n "$(stat -c %s "$work/log-full-disk.txt")" "$work/log-full-disk.txt" "$game/Log.txt" ||
    { echo "a start on the full disk did not keep the last start's log"; return 1; }
}
read_only() {
  mount --bind "$work/game/01" "$work/game/01" || return 1
  "$killer" --unsaved "$program" "$work/game" "$work/err-read-only.txt" "mount -o remount,ro,bind 01"
}
export -f full_disk full_log_disk read_only make_game_folder
export work program killer data

for fault in full_disk full_log_disk read_only; do
  unshare -m --propagation private bash -c "$fault" || fail "$fault: the save did not fail cleanly"
done
for what in "The settings" "The ranking" "The joypad buttons" "The highest stage"; do
  grep -q "Lumotta: $what could not be saved to .*/01/.*No space left on device" "$work/err-full.txt" ||
    fail "full disk: standard error does not say '$what could not be saved': $(cat "$work/err-full.txt")"
  grep -q "Lumotta: $what could not be saved to .*/01/.*Read-only file system" "$work/err-read-only.txt" ||
    fail "read-only folder: standard error does not say '$what could not be saved': $(cat "$work/err-read-only.txt")"
done
log=$work/log-full-disk.txt
grep -q "The media layer is running" "$log" || fail "full disk: Log.txt lost the start of the run"
for what in "The settings" "The ranking" "The joypad buttons" "The highest stage" "lumotta.ini"; do
  grep -q "$what could not be saved to .*No space left on device" "$log" ||
    fail "full disk: Log.txt does not say '$what could not be saved': $(tail -5 "$log")"
done
echo "PASS: killed saves, a full disk and a read-only folder left every saved file whole; the log kept its lines on a full disk"
