#!/usr/bin/env bash
# The comforts as a player meets them: the built program in a real window
# under an X server, keys typed through the server, the window read back.
#   comforts_end_to_end.sh PROGRAM PROBE DATA WORK
# Alt+Enter and F11 switch full screen and the saved setting follows; the
# window's place and size come back at the next start; the window has its
# icon; the last frame is painted again when a window that covered the
# inactive game goes away; sharp scaling shows whole-multiple pixel blocks at
# 2x and 3x inside black bars. The X server runs no window manager, which is
# what makes a window full screen: the switch is seen in the game's log and
# saved setting, and the picture must survive it (the window's own full-screen
# state is checked headless, in tests/shell/comforts_test.cpp).
set -uo pipefail
program=$1 probe=$2 data=$3 work=$4

for tool in xvfb-run xdotool Xvfb; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (./lumotta.sh installs it)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/game/01" "$work/run" "$work/shots"
chmod 700 "$work/run"
for entry in "$data"/*; do
  name=$(basename "$entry")
  [ "$name" = 01 ] || ln -s "$entry" "$work/game/$name"
done
for f in "$data"/01/*.dat; do
  case $(basename "$f") in [KSBH].dat) ;; *) cp "$f" "$work/game/01/" ;; esac
done

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

# Alt+Enter: full screen; the pictures are made again for it and show.
alt_enter
wait_for_switches 1 0
sleep 0.5
grab full-screen 100 230
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

# Second start: at the remembered place, full screen as saved; F11 returns
# to the window there.
start_game
wait_for_geometry "800x600 at 100,120"
wait_for_switches 1 0
press F11
wait_for_switches 1 1
wait_for_geometry "800x600 at 100,120"
quit_game
[ "$(od -An -tu2 -j14 -N2 01/K.dat | tr -d ' ')" = 0 ] || fail "windowed was not saved in 01/K.dat"

# Sharp scaling at 2x: every pixel of the game a 2x2 block, no bars.
sed -i 's/^scaling = .*/scaling = sharp/' lumotta.ini
start_game --scale 2
reach_title
wait_for_geometry "1280x960 at 384,320"
"$probe" grab "$window" "$shots/sharp-2x.png" >/dev/null || fail "the window could not be read"
out=$("$probe" sharp "$shots/sharp-2x.png" 2)
echo "sharp 2x: $(echo "$out" | tr '\n' ' ')"
[ "$(echo "$out" | value box)" = "0 0 1280 960" ] || fail "the 2x picture does not fill the window"
within "$(echo "$out" | value uniform)" 0.999 1 || fail "the 2x picture's pixels are not 2x2 blocks"
quit_game

# Sharp scaling at 3x in a 2000x1500 window: 1920x1440 in black bars.
start_game --scale 3.125
reach_title
wait_for_geometry "2000x1500 at 24,50"
"$probe" grab "$window" "$shots/sharp-3x.png" >/dev/null || fail "the window could not be read"
out=$("$probe" sharp "$shots/sharp-3x.png" 3)
echo "sharp 3x: $(echo "$out" | tr '\n' ' ')"
[ "$(echo "$out" | value box)" = "40 30 1920 1440" ] || fail "the 3x picture is not centred in bars"
within "$(echo "$out" | value uniform)" 0.999 1 || fail "the 3x picture's pixels are not 3x3 blocks"
# Smooth (the default) fills the window and blends the pixels.
quit_game
sed -i 's/^scaling = .*/scaling = smooth/' lumotta.ini
start_game --scale 3.125
reach_title
"$probe" grab "$window" "$shots/smooth-3x.png" >/dev/null || fail "the window could not be read"
out=$("$probe" sharp "$shots/smooth-3x.png" 3)
echo "smooth 3x: $(echo "$out" | tr '\n' ' ')"
[ "$(echo "$out" | value box)" = "0 0 2000 1500" ] || fail "the smooth picture does not fill the window"
within "$(echo "$out" | value uniform)" 0.9 1 && fail "the smooth picture is made of 3x3 blocks"
quit_game
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
