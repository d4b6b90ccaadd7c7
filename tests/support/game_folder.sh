# Shell helpers the end-to-end tests share (source this file).

# A game folder of its own in FOLDER: the default data set's pictures,
# sounds and movies linked in from DATA, its stage files copied, no saved
# files, no log and no lumotta.ini.
make_game_folder() {
  local data=$1 folder=$2 entry f
  mkdir -p "$folder/01"
  for entry in "$data"/*; do
    # What a game run there left behind is not linked: it would be written
    # through.
    case $(basename "$entry") in 01 | Log.txt | lumotta.ini | screenshots) ;; *) ln -s "$entry" "$folder/$(basename "$entry")" ;; esac
  done
  for f in "$data"/01/*.dat; do
    case $(basename "$f") in [KSBH].dat) ;; *) cp "$f" "$folder/01/" ;; esac
  done
}

# WORK made afresh, with a private runtime folder (for the game's one-copy
# lock) and a folder for pictures.
fresh_work_folder() {
  rm -rf "$1"
  mkdir -p "$1/run" "$1/shots"
  chmod 700 "$1/run"
}

# Ends the test as skipped (77) when the X server tools are missing.
require_x_tools() {
  local tool
  for tool in xvfb-run xdotool Xvfb; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (./lumotta.sh installs it)"
      exit 77
    fi
  done
}

# In a sanitized build (tests/sanitize/run.sh): the sanitizers' settings and
# the libraries loaded with the game (LD_PRELOAD, see tests/CMakeLists.txt),
# as NAME=VALUE words for env -i; nothing otherwise, so the game runs with a
# player's environment.
sanitizer_settings() {
  [ -n "${LUMOTTA_SANITIZER_PRELOAD:-}" ] && echo "LD_PRELOAD=$LUMOTTA_SANITIZER_PRELOAD"
  local name
  for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [ -n "${!name:-}" ] && echo "$name=${!name}"
  done
  return 0
}
