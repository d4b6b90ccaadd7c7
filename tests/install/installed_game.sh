#!/usr/bin/env bash
# The install target into a staging prefix, and the installed program run
# from there headless, from a folder without game data, with nothing of the
# build in its environment: its data comes from <prefix>/share/lumotta,
# which it leaves as installed, and the saved files, lumotta.ini and Log.txt
# land in the user's folders and are read back on the next start. A replay
# of stage 0 watched there plays through and changes nothing saved.
source "$(dirname "$0")/install_common.sh" "$@"

prefix=$work/stage/usr
cmake --install "$build" --prefix "$prefix" >"$work/install.txt" 2>&1 || fail "cmake --install: $(tail -5 "$work/install.txt")"

# What the install holds.
installed=(
  games/lumotta
  share/lumotta/00 share/lumotta/01/00.dat share/lumotta/21/icon.png share/lumotta/25/0.avi
  share/applications/lumotta.desktop
  share/metainfo/lumotta.metainfo.xml
  share/man/man6/lumotta.6.gz
)
for size in 16 22 24 32 48 64 128 256; do installed+=("share/icons/hicolor/${size}x${size}/apps/lumotta.png"); done
for f in "${installed[@]}"; do
  [ -e "$prefix/$f" ] || fail "the install lacks $f"
done
[ -x "$prefix/games/lumotta" ] || fail "games/lumotta is not a program"
for f in K S B H; do
  [ -e "$prefix/share/lumotta/01/$f.dat" ] && fail "the install carries a saved file 01/$f.dat"
done
[ -e "$prefix/share/lumotta/Log.txt" ] && fail "the install carries a Log.txt"
# Each icon is the size its folder says (a PNG's width and height at bytes 16..23).
for size in 16 48 256; do
  dims=$(od -An -tx1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x${size}/apps/lumotta.png" | tr -d ' \n')
  [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "the ${size}x${size} icon is not $size pixels square ($dims)"
done
gzip -t "$prefix/share/man/man6/lumotta.6.gz" || fail "the manual page is no gzip file"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/lumotta.desktop" || fail "the desktop entry is not valid"
fi
if command -v appstreamcli >/dev/null; then
  # The id is the program's own name, as the desktop entry's; a reverse
  # domain name would claim a domain the game does not have.
  appstreamcli validate --no-net "$prefix/share/metainfo/lumotta.metainfo.xml" >"$work/appstream.txt" 2>&1
  problems=$(grep -E "^(E|W):" "$work/appstream.txt" | grep -v "cid-desktopapp-is-not-rdns")
  [ -z "$problems" ] || fail "the metainfo file is not valid: $problems"
fi

make_replay
mkdir -p "$work/elsewhere" "$work/home"
touch "$work/before-run"
cd "$work/elsewhere" || exit 1
user=$work/home/.local/share/lumotta
state=$work/home/.local/state/lumotta
run_until_ended "$state/Log.txt" "$prefix/games/lumotta"
status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status: $(cat "$work/err.txt")"

expect_saved_files "$user"
[ -f "$user/lumotta.ini" ] || fail "lumotta.ini is not in $user"
[ -f "$state/Log.txt" ] || fail "Log.txt is not in $state"
grep -q "Data folder: $prefix/share/lumotta" "$state/Log.txt" || fail "the data did not come from the install: $(grep 'Data folder' "$state/Log.txt")"
grep -q "Saved files: $user/01 (the user's folder" "$state/Log.txt" || fail "Log.txt does not say where the saved files go"

# Watching a replay through stage 0: the saved files and lumotta.ini stay
# as they were, byte for byte and by their times.
date_saved_files "$user"
run_headless "$prefix/games/lumotta" --replay "$work/stage00.rep"
status=$?
[ "$status" -eq 0 ] || fail "the replay ended with status $status: $(cat "$work/err.txt")"
expect_cleared
expect_saved_files_untouched "$user"
changed=$(find "$prefix" -newer "$work/before-run" -print)
[ -z "$changed" ] || fail "the runs wrote into the install: $changed"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the runs wrote into the folder they started in: $(ls -A "$work/elsewhere")"

# The next start reads them back (and writes them as it read them).
plant_saved_files "$user"
run_until_ended "$state/Log.txt" "$prefix/games/lumotta" || fail "second run: $(cat "$work/err.txt")"
expect_read_back "$user"

# XDG_DATA_HOME and XDG_STATE_HOME name the folders when set.
run_until_ended "$work/xdg-state/lumotta/Log.txt" XDG_DATA_HOME="$work/xdg-data" XDG_STATE_HOME="$work/xdg-state" \
  "$prefix/games/lumotta" || fail "run with XDG folders: $(cat "$work/err.txt")"
expect_saved_files "$work/xdg-data/lumotta"
[ -f "$work/xdg-state/lumotta/Log.txt" ] || fail "Log.txt did not go to XDG_STATE_HOME"
echo PASS
