#!/usr/bin/env bash
# With no game data anywhere (none where it is started, none beside the
# program, none installed, the build's hidden), the program says so and stops
# before writing anything: no 01 in the start folder, nothing in the user's
# folders.
source "$(dirname "$0")/install_common.sh"

if ! unshare -m true 2>/dev/null; then
  echo "SKIP: no mount namespace here (needs root or user namespaces)"
  exit 77
fi

mkdir -p "$work/start" "$work/home"
# A private mount namespace: an empty tmpfs over the build's data for this
# run only. The program finds no data beside itself (build/data is the same
# folder) and none installed (build/../share/lumotta).
cd "$work/start"
unshare -m bash -c 'mount -t tmpfs -o size=1m none "$1" && shift && "$@"' hide "$data" \
  env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" $(sanitizer_settings) \
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 20 "$program" >"$work/out.txt" 2>"$work/err.txt"
status=$?
[ "$status" -eq 255 ] || fail "exit status $status, wanted 255 (the game could not start); said: $(cat "$work/err.txt")"
grep -q "lumotta: no game data found (looked in the current folder, " "$work/err.txt" ||
  fail "no clear error on standard error: $(cat "$work/err.txt")"
[ -z "$(ls -A "$work/start")" ] || fail "the start folder was written to: $(ls -A "$work/start")"
[ -z "$(find "$work/home" -mindepth 1)" ] || fail "the user's folders were written to: $(find "$work/home")"
[ -f "$data/01/00.dat" ] || fail "the data set is hidden outside the test's namespace too"
echo "PASS: no data anywhere: said and stopped, nothing written"
