# Shared by the install tests:  source install_common.sh PROGRAM RUNNER DATA SOURCE BUILD WORK
# PROGRAM is build/lumotta, RUNNER lumotta-run, DATA the default data set,
# SOURCE the source tree, BUILD the build folder, WORK a scratch folder made
# afresh.
set -uo pipefail
program=$1 runner=$2 data=$3 source=$4 build=$5 work=$6
source "$source/tests/support/game_folder.sh"

rm -rf "$work"
mkdir -p "$work/run"
chmod 700 "$work/run"

fail() {
  echo "FAIL: $*"
  exit 1
}

# Stage 0's shipped solution as a replay file: $work/stage00.rep.
make_replay() {
  "$runner" --script "$source/content/replays/00.script" --write-replay "$work/stage00.rep" >/dev/null ||
    fail "the replay of stage 0 could not be made"
}

# Runs a program as a player starts it headless: an environment holding only
# PATH, HOME, the runtime folder, SDL's headless drivers and NAME=VALUE
# settings given before the program. Standard output and error go to
# $work/out.txt and $work/err.txt; the exit status is returned.
#   run_headless [NAME=VALUE...] PROGRAM [ARGS...]
run_headless() {
  local settings=()
  while [[ $# -gt 0 && $1 == *=* && $1 != -* ]]; do
    settings+=("$1")
    shift
  done
  # shellcheck disable=SC2046
  env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" $(sanitizer_settings) \
    SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "${settings[@]}" \
    "$@" >"$work/out.txt" 2>"$work/err.txt"
}

# Runs a program as run_headless does, but in the background until LOG says
# the game runs, then asks it to end as the desktop does when the player
# logs out (SIGTERM): an ordinary end, with the saved files written. Returns
# the exit status.
#   run_until_ended LOG [NAME=VALUE...] PROGRAM [ARGS...]
run_until_ended() {
  local log=$1
  shift
  rm -f "$log"
  # The program itself is the background job (exec), so that the signal
  # reaches it and not a shell around it.
  (
    settings=()
    while [[ $# -gt 0 && $1 == *=* && $1 != -* ]]; do
      settings+=("$1")
      shift
    done
    # shellcheck disable=SC2046
    exec env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" $(sanitizer_settings) \
      SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "${settings[@]}" \
      "$@" >"$work/out.txt" 2>"$work/err.txt"
  ) &
  local pid=$!
  for _ in $(seq 1 300); do
    grep -q "The media layer is running" "$log" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  sleep 0.5
  kill -TERM "$pid" 2>/dev/null
  wait "$pid"
}

# The saved files and lumotta.ini in FOLDER dated in the past, and what they
# hold and their times in $work/saved.before.
date_saved_files() {
  local folder=$1
  touch -d '2001-01-01 12:00' "$folder"/01/[KSBH].dat "$folder/lumotta.ini"
  (cd "$folder" && sha256sum 01/[KSBH].dat lumotta.ini && stat -c '%n %Y' 01/[KSBH].dat lumotta.ini) > "$work/saved.before"
}
expect_saved_files_untouched() {
  local folder=$1
  (cd "$folder" && sha256sum 01/[KSBH].dat lumotta.ini && stat -c '%n %Y' 01/[KSBH].dat lumotta.ini) > "$work/saved.after"
  cmp -s "$work/saved.before" "$work/saved.after" ||
    fail "the saved files or lumotta.ini changed: $(diff "$work/saved.before" "$work/saved.after")"
}

# The four saved files with their exact sizes in FOLDER/01.
expect_saved_files() {
  local folder=$1 f
  for f in K:16 S:80 B:80 H:4; do
    local name=$folder/01/${f%%:*}.dat size=${f##*:}
    [ -f "$name" ] || fail "$name was not written"
    [ "$(stat -c %s "$name")" -eq "$size" ] || fail "$name has $(stat -c %s "$name") bytes, not $size"
  done
}

# A settings file and a highest stage of our own, to see them read back.
plant_saved_files() {
  local folder=$1
  mkdir -p "$folder/01"
  printf '\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00\x00\x00\x07\x00\x00\x00' > "$folder/01/K.dat"
  printf '\x2a\x00\x00\x00' > "$folder/01/H.dat"
  cp "$folder/01/K.dat" "$work/K.expected"
  cp "$folder/01/H.dat" "$work/H.expected"
}

expect_read_back() {
  local folder=$1
  cmp -s "$folder/01/K.dat" "$work/K.expected" || fail "the settings in $folder were not read back"
  cmp -s "$folder/01/H.dat" "$work/H.expected" || fail "the highest stage in $folder was not read back"
}

expect_cleared() {
  grep -q "replay of stage 1 (stage file 00): cleared" "$work/out.txt" ||
    fail "stage 0 was not played through: $(cat "$work/out.txt" "$work/err.txt")"
}
