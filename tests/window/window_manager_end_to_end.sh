#!/usr/bin/env bash
# The game under a window manager (openbox), as most players run it: the
# window's place comes back exactly at every start (the manager places the
# frame where a new window asks to be, while SDL tells where the picture
# inside the frame is), and full screen asked of the manager shows the whole
# picture and returns to the same place. A second copy says in a message box
# that the game is already running.
#   window_manager_end_to_end.sh PROGRAM PROBE DATA WORK
set -uo pipefail
program=$1 probe=$2 data=$3 work=$4

source "$(dirname "$0")/../support/game_folder.sh"
require_x_tools
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed (./lumotta.sh installs it)"; exit 77; }

fresh_work_folder "$work"
make_game_folder "$data" "$work/game"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -uo pipefail
program=$1 probe=$2 shots=$3 helpers=$4
source "$helpers"
# The manager is up once it answers for the desktops. A server just started
# on a loaded machine may refuse the first connection: three tries.
manager=""
trap '[ -n "$manager" ] && kill $manager 2>/dev/null' EXIT
for _ in 1 2 3; do
  openbox --sm-disable >openbox.txt 2>&1 &
  manager=$!
  for _ in $(seq 1 100); do
    xdotool get_num_desktops >/dev/null 2>&1 && break 2
    kill -0 "$manager" 2>/dev/null || break
    sleep 0.05
  done
  kill "$manager" 2>/dev/null
  sleep 0.5
done
xdotool get_num_desktops >/dev/null 2>&1 || fail "openbox did not start: $(cat openbox.txt)"

# Waits until the window stops moving (the manager maps and places it), and
# prints its geometry.
settled() {
  local last="" now
  for _ in $(seq 1 40); do
    now=$(geometry)
    [ "$now" = "$last" ] && { echo "$now"; return; }
    last=$now
    sleep 0.1
  done
  echo "$now"
}

# Ten starts and quits: the window opens where it was every time, and
# lumotta.ini keeps one place.
first="" first_ini=""
for start in $(seq 1 10); do
  start_game
  place=$(settled)
  if [ "$start" -eq 1 ]; then
    # Full screen through the manager: the whole picture; then back.
    # The title with its intro at its end (a press), which stands still.
    wait_for_mean movie 2 90 15
    press space
    wait_for_mean title-start 100 255 15
    press z 1.0
    "$probe" grab "$window" "$shots/windowed.png" >/dev/null || fail "the window could not be read"
    press F11 1.0
    wait_for_geometry "1024x768 at 0,0"
    sleep 0.5
    "$probe" grab "$window" "$shots/full-screen.png" >/dev/null || fail "the window could not be read"
    out=$("$probe" scaled "$shots/full-screen.png" "$shots/windowed.png" 48)
    echo "full screen: $(echo "$out" | tr '\n' ' ')"
    [ "$(echo "$out" | value box)" = "0 0 1024 768" ] || fail "the full-screen picture is not at 0 0 1024 768"
    within "$(echo "$out" | value match)" 0.7 1 || fail "the full-screen picture is not the windowed one, scaled"
    press F11 1.0
    wait_for_geometry "$place"
  fi
  # Escape held: it skips the start-up movie, then ends the game.
  focus_game
  xdotool keydown Escape
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  xdotool keyup Escape
  kill -0 "$pid" 2>/dev/null && fail "start $start: Escape did not end the program"
  wait "$pid" || fail "start $start: exit status $?"
  pid=""
  ini=$(grep '^window = ' lumotta.ini)
  echo "start $start: $place; $ini"
  if [ "$start" -eq 1 ]; then
    first=$place first_ini=$ini
  else
    [ "$place" = "$first" ] || fail "start $start: the window is $place, not $first"
    [ "$ini" = "$first_ini" ] || fail "start $start: lumotta.ini has $ini, not $first_ini"
  fi
done

# A second copy started from the desktop menu (standard error goes nowhere a
# player reads): the desktop's message box says the game is already running;
# its OK ends the second copy, the first plays on.
start_game
"$program" 2>/dev/null &
second=$!
box=""
for _ in $(seq 1 100); do
  box=$(xdotool search --onlyvisible --name '^Lumotta$' 2>/dev/null | grep -vx "$window" | head -n1)
  [ -n "$box" ] && break
  sleep 0.05
done
[ -n "$box" ] || fail "the second copy showed no message box"
echo "message box: $(xdotool getwindowgeometry "$box" | grep Geometry)"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key --window "$box" Return
for _ in $(seq 1 100); do
  kill -0 "$second" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$second" 2>/dev/null && { kill "$second"; fail "the message box's OK did not end the second copy"; }
wait "$second"
[ $? -eq 255 ] || fail "the second copy did not end with status 255"
alive
echo "session ok"
SESSION
chmod +x "$work/session.sh"

cd "$work/game" || exit 1
env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$program" "$probe" "$work/shots" \
  "$(cd "$(dirname "$0")" && pwd)/session_helpers.sh"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL (pictures in $work/shots, log in $work/game/Log.txt)"; exit 1; }
echo PASS
