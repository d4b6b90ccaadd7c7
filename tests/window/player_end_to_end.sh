#!/usr/bin/env bash
# The game as a player starts it: the built program in a real window under an
# X server (Xvfb), driven by key events through the server, its window read
# back from the server as pictures.
#   player_end_to_end.sh PROGRAM PROBE DATA GOLDEN WORK [NAME=VALUE...]
# PROGRAM is build/lumotta, PROBE the window_probe helper, DATA the default
# data set, GOLDEN the folder of headless reference frames, WORK a scratch
# folder. The program runs with an empty environment but for the X display,
# HOME, PATH and the NAME=VALUE settings given (none: exactly what a player
# has).
set -uo pipefail
program=$1 probe=$2 data=$3 golden=$4 work=$5
shift 5
settings=("$@")

source "$(dirname "$0")/../support/game_folder.sh"
require_x_tools

fresh_work_folder "$work"
# A game folder of its own, with saved files made for the reference frames
# (best score 1234 at stage 9, highest stage 7).
make_game_folder "$data" "$work/game"
{ printf '\xd2\x04\x00\x00\x09\x00\x00\x00'; head -c 72 /dev/zero; } > "$work/game/01/S.dat"
printf '\x07\x00\x00\x00' > "$work/game/01/H.dat"

cat > "$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -uo pipefail
program=$1 probe=$2 golden=$3 shots=$4 helpers=$5
shift 5
source "$helpers"
# Print Screen (or KEY): the game saves the frame it is about to show;
# prints its path.
screenshot() {
  local before
  before=$(ls screenshots 2>/dev/null | wc -l)
  press "${1:-Print}" 0.1
  for _ in $(seq 1 50); do
    [ "$(ls screenshots 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.05
  done
  ls -t screenshots/*.png 2>/dev/null | head -n1
}

# Space (no game button) every half second until the picture after a movie
# shows: the movie is skipped whenever it has begun, however long the scene
# before it takes to hand over.
skip() { press space 0.4; }

start_game

# The start-up movie shows (dark, not black), and a key skips it: Space,
# which is no game button, so the title's intro does not take it too.
wait_for_mean movie 2 90 15
# The title's intro builds up on a light ground; a press jumps to its end.
wait_for_mean title-start 100 255 30 skip
press z 1.0
grab title 100 230
file=$(screenshot)
[ -n "$file" ] || fail "Print Screen saved no picture"
cp "$file" "$shots/title-print-screen.png"
grab title-again 100 230
# The title moves (its backdrop scrolls, a picture pulses): most of it agrees.
expect_match "$shots/title-print-screen.png" "$shots/title-again.png" 0.85
# F12 saves one too, where the desktop keeps Print Screen for itself.
file=$(screenshot F12)
[ -n "$file" ] && [ "$(ls screenshots | wc -l)" -eq 2 ] || fail "F12 saved no picture"
cp "$file" "$shots/title-f12.png"
grab title-after-f12 100 230
expect_match "$shots/title-f12.png" "$shots/title-after-f12.png" 0.85
# The menu over the darkened intro, with the cursor on its third item: the
# headless reference frame of the same moment.
press z
wait_for_picture menu "$golden/title_menu.png" 0.9 10
press Down
press Down 0.5
grab menu 30 200
expect_match "$shots/menu.png" "$golden/title_menu.png" 0.95
# A new game: the opening movie, skipped, then the first stage as the
# headless reference shows it after its intro.
press Up
press Up
press z
wait_for_picture stage "$golden/first_stage.png" 0.97 40 skip
# Its first frames show the stage too; the intro's banner and sparkles follow
# for about two seconds.
sleep 3
wait_for_picture stage "$golden/first_stage.png" 0.97 20
file=$(screenshot)
[ -n "$file" ] || fail "Print Screen saved no picture"
cp "$file" "$shots/stage-print-screen.png"
grab stage-again 20 230
expect_match "$shots/stage-print-screen.png" "$shots/stage-again.png" 0.97
expect_match "$shots/stage-print-screen.png" "$golden/first_stage.png" 0.95

quit_game
echo "session ok"
SESSION
chmod +x "$work/session.sh"

cd "$work/game" || exit 1
echo "settings: ${settings[*]:-(none)}"
env -i PATH="$PATH" HOME="$work" XDG_RUNTIME_DIR="$work/run" "${settings[@]}" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$work/session.sh" "$program" "$probe" "$golden" "$work/shots" \
  "$(cd "$(dirname "$0")" && pwd)/session_helpers.sh"
status=$?
grep -E "Renderer:|Drawing on|Frame pacing" Log.txt 2>/dev/null | sed 's/^[0-9]*:\s*/log: /'
[ "$status" -eq 0 ] || { echo "FAIL (pictures in $work/shots)"; exit 1; }
for f in K S B H; do
  [ -f 01/$f.dat ] || { echo "FAIL: 01/$f.dat was not written"; exit 1; }
done
echo PASS
