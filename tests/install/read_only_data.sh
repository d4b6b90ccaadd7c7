#!/usr/bin/env bash
# The built program given a read-only data folder (--data), run headless
# until it is asked to end: the saved files, lumotta.ini and the log written to the
# user's folders and read back on the next start, nothing written into the
# data. Then a failed save: said on standard error and in Log.txt, and the
# exit status is 1.
source "$(dirname "$0")/install_common.sh" "$@"

# A data folder of its own: the pictures, sounds and movies linked in, the
# stage files copied.
ro=$work/data
source "$source/tests/support/game_folder.sh"
make_game_folder "$data" "$ro"

# Read-only as a player meets it: permissions for an ordinary user; for root,
# whom permissions do not stop, a read-only mount seen by the program alone.
# read_only PROGRAM ARGS... runs the program so.
if [ "$(id -u)" -eq 0 ]; then
  unshare -m true 2>/dev/null || { echo "SKIP: running as root without mount namespaces"; exit 77; }
  cat > "$work/read-only.sh" <<WRAPPER
exec unshare -m bash -c 'mount --bind -o ro "\$0" "\$0" && exec "\$@"' "$ro" "\$@"
WRAPPER
else
  chmod -R a-w "$ro"
  trap 'chmod -R u+w "$ro"' EXIT
  echo 'exec "$@"' > "$work/read-only.sh"
fi
read_only=(bash "$work/read-only.sh")

mkdir -p "$work/home"
touch "$work/before-run"
xdg=(XDG_DATA_HOME="$work/xdg-data" XDG_STATE_HOME="$work/xdg-state")
log=$work/xdg-state/lumotta/Log.txt
run_until_ended "$log" "${xdg[@]}" "${read_only[@]}" "$program" --data "$ro"
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat "$work/err.txt")"
user=$work/xdg-data/lumotta
expect_saved_files "$user"
[ -f "$user/lumotta.ini" ] || fail "lumotta.ini is not in $user"
[ -f "$log" ] || fail "Log.txt is not in $work/xdg-state/lumotta"
grep -q "Data folder: $ro" "$log" || fail "the data did not come from --data: $(grep 'Data folder' "$log")"
changed=$(find "$ro" -newer "$work/before-run" -print)
[ -z "$changed" ] || fail "the run wrote into the data folder: $changed"
for f in K S B H; do [ -e "$ro/01/$f.dat" ] && fail "01/$f.dat was written beside the data"; done

# The next start reads them back.
plant_saved_files "$user"
run_until_ended "$log" "${xdg[@]}" "${read_only[@]}" "$program" --data "$ro" || fail "second run: $(cat "$work/err.txt")"
expect_read_back "$user"

# No save is lost unseen: a file stands where the user's folder should be.
mkdir -p "$work/blocked"
echo "not a folder" > "$work/blocked/lumotta"
run_until_ended "$log" XDG_DATA_HOME="$work/blocked" XDG_STATE_HOME="$work/xdg-state" \
  "${read_only[@]}" "$program" --data "$ro"
status=$?
[ "$status" -eq 1 ] || fail "a failed save ended with status $status, not 1"
for what in "The settings" "The ranking" "The joypad buttons" "The highest stage" "lumotta.ini"; do
  grep -q "^Lumotta: $what could not be saved to $work/blocked/lumotta" "$work/err.txt" ||
    fail "standard error does not say that $what was not saved: $(cat "$work/err.txt")"
  grep -q "$what could not be saved to $work/blocked/lumotta" "$log" ||
    fail "Log.txt does not say that $what was not saved"
done
[ "$(cat "$work/blocked/lumotta")" = "not a folder" ] || fail "the file in the way was changed"
echo PASS
