#!/usr/bin/env bash
# The program started as a player would where there is no display at all: no
# X server, no Wayland, no SDL variables. It must not run unseen: it says why
# on standard error and in Log.txt, ends with status 255 and leaves the saved
# files exactly as they were.
#   no_display_end_to_end.sh PROGRAM DATA WORK
set -uo pipefail
program=$1 data=$2 work=$3
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "$0")/../support/game_folder.sh"

rm -rf "$work"
mkdir -p "$work/game/01" "$work/run"
chmod 700 "$work/run"
for entry in "$data"/*; do
  name=$(basename "$entry")
  [ "$name" = 01 ] || ln -s "$entry" "$work/game/$name"
done
cp "$data"/01/*.dat "$work/game/01/"
# Saved files of an earlier game, dated in the past.
head -c 16 /dev/urandom > "$work/game/01/K.dat"
head -c 80 /dev/urandom > "$work/game/01/S.dat"
head -c 80 /dev/urandom > "$work/game/01/B.dat"
printf '\x05\x00\x00\x00' > "$work/game/01/H.dat"
touch -d '2001-01-01 12:00' "$work/game/01/"[KSBH].dat
(cd "$work/game/01" && sha256sum [KSBH].dat && stat -c '%n %Y' [KSBH].dat) > "$work/before"

cd "$work/game" || exit 1
# With a runtime folder, and without one (XDG_RUNTIME_DIR unset, as after su
# or in a bare session): the Wayland library must not complain about it on
# the player's terminal as if it were the game's fault.
for runtime in "XDG_RUNTIME_DIR=$work/run" ""; do
  # shellcheck disable=SC2046
  env -i PATH="$PATH" HOME="$work" $runtime $(sanitizer_settings) timeout 20 "$program" \
    >"$work/stdout" 2>"$work/stderr"
  status=$?
  echo "${runtime:-no XDG_RUNTIME_DIR}: status $status; said: $(cat "$work/stderr")"
  [ "$status" -ne 124 ] || fail "the program was still running after 20 s (running unseen?)"
  [ "$status" -eq 255 ] || fail "exit status $status, not 255"
  grep -q "No display could be opened" "$work/stderr" || fail "standard error does not say why: $(cat "$work/stderr")"
  grep -q "No display could be opened" Log.txt || fail "Log.txt does not say why"
  # What a player needs: a desktop session. SDL's offscreen driver is for
  # tests, named in the log only.
  grep -q "needs a desktop session (X11 or Wayland)" "$work/stderr" ||
    fail "standard error does not say that the game needs a desktop session"
  grep -q "SDL_VIDEODRIVER" "$work/stderr" && fail "standard error offers SDL's offscreen driver to a player"
  grep -q "SDL_VIDEODRIVER=offscreen" Log.txt || fail "Log.txt does not name the offscreen driver for tests"
  grep -q "XDG_RUNTIME_DIR" "$work/stderr" && fail "standard error carries a stray line about XDG_RUNTIME_DIR"
  [ "$(grep -c . "$work/stderr")" -le 3 ] || fail "standard error says more than why: $(cat "$work/stderr")"
  (cd 01 && sha256sum [KSBH].dat && stat -c '%n %Y' [KSBH].dat) > "$work/after"
  cmp -s "$work/before" "$work/after" || fail "the saved files were touched: $(diff "$work/before" "$work/after")"
done
echo PASS
