#!/usr/bin/env bash
# The built program under a real X server (Xvfb): it opens its 640x480 window
# captioned "Lumotta", quits on Escape typed through the server, leaves its
# four saved files, and a second start reads them back.
#   window_end_to_end.sh PROGRAM WORK_DIRECTORY
set -uo pipefail
program=$1
work=$2

source "$(dirname "$0")/../support/game_folder.sh"
require_x_tools

rm -rf "$work"
# A game folder of its own without pictures or stages (folder 00 and an
# empty first stage mark it as one), so the saved files land here.
mkdir -p "$work/00" "$work/01" "$work/run"
: > "$work/01/00.dat"
chmod 700 "$work/run"
cd "$work" || exit 1
# The game allows one copy per user; a copy started by another checkout's
# tests (or a game being played) must not count against this one.
export XDG_RUNTIME_DIR="$work/run"

# Runs inside the X server: start, check the window, type Escape, wait.
cat > session.sh <<'SESSION'
#!/usr/bin/env bash
set -uo pipefail
program=$1
"$program" &
pid=$!
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; exit 1; }
window=""
for _ in $(seq 1 200); do
  window=$(xdotool search --name '^Lumotta$' 2>/dev/null | head -n1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before its window showed"
  sleep 0.05
done
[ -n "$window" ] || fail "no window captioned Lumotta"
[ "$(xdotool getwindowname "$window")" = "Lumotta" ] || fail "caption is $(xdotool getwindowname "$window")"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: *//p')
[ "$geometry" = "640x480" ] || fail "window is $geometry, not 640x480"
sleep 0.5   # a few ticks
kill -0 "$pid" 2>/dev/null || fail "the program ended on its own"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --delay 200 Escape
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then fail "Escape did not end the program"; fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
echo "window ok: $geometry"
SESSION
chmod +x session.sh

run_session() {
  env -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s "-screen 0 1024x768x24" ./session.sh "$program"
}

fail() { echo "FAIL: $*"; exit 1; }

# First run: no saved files yet.
run_session || fail "first run"
for f in K:16 S:80 B:80 H:4; do
  name=01/${f%%:*}.dat
  size=${f##*:}
  [ -f "$name" ] || fail "$name was not written"
  [ "$(stat -c %s "$name")" -eq "$size" ] || fail "$name has $(stat -c %s "$name") bytes, not $size"
done
grep -q "二重起動はされていませんでした" Log.txt || fail "Log.txt lacks the start-up lines"

# Second run: files of our own are read and written back as they were read.
printf '\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x01\x00\x07\x00\x00\x00' > 01/K.dat
head -c 80 /dev/urandom > 01/S.dat
printf '\x2a\x00\x00\x00' > 01/H.dat
cp 01/K.dat K.expected
cp 01/S.dat S.expected
cp 01/H.dat H.expected
run_session || fail "second run"
cmp -s 01/K.dat K.expected || fail "settings were not read back"
cmp -s 01/S.dat S.expected || fail "ranking was not read back"
cmp -s 01/H.dat H.expected || fail "highest stage was not read back"
echo "PASS"
