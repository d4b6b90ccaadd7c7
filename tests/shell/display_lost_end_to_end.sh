#!/usr/bin/env bash
# The display goes away under the game: an X server made for the session is
# killed while the game runs in it. The X library ends the program from
# inside a call; before it ends, the game saves what a normal end (Escape)
# saves from the same start, says in Log.txt what happened, and leaves
# with status 1.
#   display_lost_end_to_end.sh PROGRAM WORK_DIRECTORY
set -uo pipefail
program=$(realpath "$1")
work=$(realpath -m "$2")

source "$(dirname "$0")/../support/game_folder.sh"
require_x_tools

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

fail() { echo "FAIL: $*"; exit 1; }

# A game folder of its own without pictures or stages (folder 00 and an empty
# first stage mark it as one), with settings of its own and no ranking,
# buttons or highest stage yet: those the game writes at its end.
make_folder() {
  mkdir -p "$1/00" "$1/01" "$1/run"
  : > "$1/01/00.dat"
  chmod 700 "$1/run"
  printf '\x05\x00\x01\x00\x03\x00\x04\x00\x05\x00\x01\x00\x07\x00\x00\x00' > "$1/01/K.dat"
}

xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

# Starts an X server of the session's own on a free display: sets DISPLAY
# and xvfb_pid.
start_x_server() {
  local fifo="$work/display.$$"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number
  read -r -t 20 number < "$fifo" || fail "the X server did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# Starts the game in FOLDER (as a player does: an empty environment) and
# waits until its window shows: sets game_pid.
start_game() {
  local folder=$1
  (cd "$folder" && exec env -i PATH="$PATH" HOME="$folder" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$folder/run" \
     SDL_AUDIODRIVER=dummy $(sanitizer_settings) "$program" > "$folder/stdout.txt" 2> "$folder/stderr.txt") &
  game_pid=$!
  local window=""
  for _ in $(seq 1 200); do
    window=$(xdotool search --name '^Lumotta$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the program ended before its window showed"
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window captioned Lumotta"
  sleep 1   # well into the start-up
  kill -0 "$game_pid" 2>/dev/null || fail "the program ended on its own"
  echo "$window" > "$folder/window"
}

# Waits up to 10 s for the game to end; its status.
wait_game() {
  for _ in $(seq 1 200); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$game_pid" 2>/dev/null && fail "the program did not end"
  wait "$game_pid"
  local status=$?
  game_pid=""
  return $status
}

# A normal end from the same start: what the game saves.
make_folder "$work/normal"
start_x_server
start_game "$work/normal"
window=$(cat "$work/normal/window")
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --delay 200 Escape
wait_game
status=$?
[ "$status" -eq 0 ] || fail "Escape: exit status $status"
kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""
for f in K S B H; do
  [ -f "normal/01/$f.dat" ] || fail "a normal end did not write 01/$f.dat"
done

# The display lost: its X server killed under the running game.
make_folder "$work/lost"
start_x_server
start_game "$work/lost"
kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=""
wait_game
status=$?
echo "display lost: exit status $status; standard error: $(tr '\n' ' ' < lost/stderr.txt | tail -c 300)"
[ "$status" -eq 1 ] || fail "exit status $status after the display was lost, not 1"
grep -q "The connection to the display was lost" lost/Log.txt || fail "Log.txt does not say the display was lost"
for f in K S B H; do
  [ -f "lost/01/$f.dat" ] || fail "01/$f.dat was not written when the display was lost"
  cmp -s "lost/01/$f.dat" "normal/01/$f.dat" || fail "01/$f.dat differs from what a normal end saves"
done
[ -f lost/lumotta.ini ] || fail "lumotta.ini was not written when the display was lost"
# The window's place the game knew is kept, as at a normal end.
grep -q '^window' lost/lumotta.ini || fail "lumotta.ini lacks the window's place: $(cat lost/lumotta.ini)"
echo "PASS"
