#!/usr/bin/env bash
# The comforts as a player meets them: the built program in a real window
# under an X server, keys typed through the server, the window read back.
#   comforts_end_to_end.sh PROGRAM PROBE DATA WORK
# Alt+Enter and F11 switch full screen and the saved setting follows; the
# window's place and size come back at the next start; the window has its
# icon; the last frame is painted again when a window that covered the
# inactive game goes away; sharp scaling shows whole-multiple pixel blocks at
# 2x and 3x inside black bars. The X server runs no window manager, so no
# one answers a request for full screen: the game lays its window over the
# display itself, and the whole picture shows there, scaled, as it showed in
# the window (window_manager_end_to_end.sh runs the game under one).
set -uo pipefail
program=$1 probe=$2 data=$3 work=$4

source "$(dirname "$0")/../support/game_folder.sh"
require_x_tools

fresh_work_folder "$work"
make_game_folder "$data" "$work/game"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -uo pipefail
program=$1 probe=$2 shots=$3 helpers=$4
source "$helpers"
# From the start-up movie to the title, its intro skipped.
reach_title() {
  wait_for_mean movie 2 90 15
  press space
  wait_for_mean title-start 100 255 15
  press z 1.0
}
alt_enter() {
  alive
  xdotool keydown alt+Return
  sleep 0.1
  xdotool keyup alt+Return
  sleep 0.3
}
# Waits until the game's log has COUNT switches to full screen and back.
switches() { grep -a -c "$1" Log.txt; }
wait_for_switches() {
  local to_full=$1 to_window=$2
  for _ in $(seq 1 100); do
    [ "$(switches フルスクリーンモード用)" = "$to_full" ] && [ "$(switches スタイルをウインドウモード用)" = "$to_window" ] && {
      echo "switches: $to_full to full screen, $to_window back"
      return
    }
    sleep 0.05
  done
  fail "the log has $(switches フルスクリーンモード用) switches to full screen and $(switches スタイルをウインドウモード用) back, not $to_full and $to_window"
}

# First start: nothing saved yet, a 640x480 window in the middle.
start_game
reach_title
wait_for_geometry "640x480 at 704,560"
icons=$("$probe" icon "$window")
echo "$icons"
echo "$icons" | grep -q "^icon 64x64 opaque 0\.[1-9]" || fail "the window has no 64x64 icon of its own"

# Alt+Enter: full screen over the whole display (2048x1600), the picture
# scaled into it with bars above and below: the windowed frame, enlarged, not
# a corner of it.
grab windowed 100 230
alt_enter
wait_for_switches 1 0
wait_for_geometry "2048x1600 at 0,0"
sleep 0.5
"$probe" grab "$window" "$shots/full-screen.png" >/dev/null || fail "the window could not be read"
out=$("$probe" scaled "$shots/full-screen.png" "$shots/windowed.png" 48)
echo "full screen: $(echo "$out" | tr '\n' ' ')"
[ "$(echo "$out" | value box)" = "0 32 2048 1536" ] || fail "the full-screen picture is not at 0 32 2048 1536"
within "$(echo "$out" | value match)" 0.8 1 || fail "the full-screen picture is not the windowed one, scaled"
# F11: back into the window, where it was.
press F11
wait_for_switches 1 1
wait_for_geometry "640x480 at 704,560"
sleep 0.5
grab windowed-again 100 230

# Another window over the game while it waits in the background: when it
# goes, the last frame is painted again.
"$probe" unfocus
sleep 0.5
"$probe" grab "$window" "$shots/inactive.png" >/dev/null || fail "the window could not be read"
"$probe" cover "$window" 0.5 || fail "the window could not be covered"
sleep 0.5
"$probe" grab "$window" "$shots/uncovered.png" >/dev/null || fail "the window could not be read"
expect_match "$shots/uncovered.png" "$shots/inactive.png" 0.99
focus_game

# Moved and resized by the player, then full screen, then quit.
xdotool windowmove "$window" 100 120
xdotool windowsize "$window" 800 600
wait_for_geometry "800x600 at 100,120"
alt_enter
wait_for_switches 2 1
quit_game
grep -qx "window = 100,120,800,600" lumotta.ini || fail "lumotta.ini does not keep the window: $(cat lumotta.ini)"
[ "$(od -An -tu2 -j14 -N2 01/K.dat | tr -d ' ')" = 1 ] || fail "full screen was not saved in 01/K.dat"

# Second start: full screen as saved; F11 returns to the window at the
# remembered place.
start_game
wait_for_switches 1 0
wait_for_geometry "2048x1600 at 0,0"
reach_title
press F11
wait_for_switches 1 1
wait_for_geometry "800x600 at 100,120"
quit_game
[ "$(od -An -tu2 -j14 -N2 01/K.dat | tr -d ' ')" = 0 ] || fail "windowed was not saved in 01/K.dat"

# Starts the game with SCALING in lumotta.ini and --scale WINDOW_SCALE, waits
# for GEOMETRY, and checks the picture's box inside the window and the share
# of its FACTORxFACTOR blocks that are one colour (within LOW..HIGH).
check_scaling() {
  local scaling=$1 window_scale=$2 geometry=$3 factor=$4 box=$5 low=$6 high=$7 out
  sed -i "s/^scaling = .*/scaling = $scaling/" lumotta.ini
  start_game --scale "$window_scale"
  reach_title
  wait_for_geometry "$geometry"
  "$probe" grab "$window" "$shots/$scaling-$window_scale.png" >/dev/null || fail "the window could not be read"
  out=$("$probe" sharp "$shots/$scaling-$window_scale.png" "$factor")
  echo "$scaling at $window_scale: $(echo "$out" | tr '\n' ' ')"
  [ "$(echo "$out" | value box)" = "$box" ] || fail "the $scaling picture is not at $box"
  within "$(echo "$out" | value uniform)" "$low" "$high" ||
    fail "$(echo "$out" | value uniform) of the $scaling picture's ${factor}x$factor blocks are one colour, not $low..$high"
  quit_game
}
# Sharp at 2x: every pixel of the game a 2x2 block, no bars.
check_scaling sharp 2 "1280x960 at 384,320" 2 "0 0 1280 960" 0.999 1
# Sharp at 3x in a 2000x1500 window: 1920x1440 in black bars.
check_scaling sharp 3.125 "2000x1500 at 24,50" 3 "40 30 1920 1440" 0.999 1
# Smooth (the default) fills the window and blends the pixels.
check_scaling smooth 3.125 "2000x1500 at 24,50" 3 "0 0 2000 1500" 0 0.9
echo "session ok"
SESSION
chmod +x "$work/session.sh"

cd "$work/game" || exit 1
env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run" \
  xvfb-run -a -s "-screen 0 2048x1600x24" "$work/session.sh" "$program" "$probe" "$work/shots" \
  "$(cd "$(dirname "$0")" && pwd)/session_helpers.sh"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL (pictures in $work/shots, log in $work/game/Log.txt)"; exit 1; }
echo PASS
