#!/usr/bin/env bash
# The tests built with AddressSanitizer and UndefinedBehaviorSanitizer, in a
# build folder of their own (build-sanitize/, beside build/).
#
#   tests/sanitize/run.sh                  everything built, the whole suite run
#   tests/sanitize/run.sh -R Stream        ctest's selection, as given (-R, -E, -L ...)
#   SANITIZE_SET=media tests/sanitize/run.sh     the media layer's test programs
#   SANITIZE_SET=loaders tests/sanitize/run.sh   every reader of files and the play
#                                                logic (what .ci/run runs)
#
# SANITIZE_TARGETS names what is built instead (default: all, or the set's
# programs); the arguments choose the tests (default: the whole suite, or the
# set's programs by their labels).
# A finding fails its test: ASan and UBSan stop the program at the first one,
# LeakSanitizer reports at exit. Leaks inside system libraries are suppressed
# in lsan.supp, each one named and explained there; none of ours is.
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_DIR=${LUMOTTA_SANITIZE_BUILD_DIR:-build-sanitize}
SANITIZERS=${LUMOTTA_SANITIZE:-address,undefined}
JOBS=${JOBS:-2}
EXTRA_TARGETS=()
case ${SANITIZE_SET:-all} in
  all) PROGRAMS=() ;;
  media) PROGRAMS=(files_tests images_tests media_core_tests media_input_tests movies_tests sound_tests) ;;
  # The files layer, pictures, sounds and movies, the saved files and the
  # rest of the shell, stages and replays, the play logic and the whole
  # program on damaged data.
  loaders) PROGRAMS=(files_tests images_tests movies_tests sound_tests shell_tests stage_tests play_tests
                     play_kinds_tests main_loop_tests)
           EXTRA_TARGETS=(data) ;;  # the default data set the stage and main-loop tests play
  *) echo "SANITIZE_SET: all, media or loaders" >&2; exit 2 ;;
esac
if [ ${#PROGRAMS[@]} -eq 0 ]; then
  read -r -a TARGETS <<< "${SANITIZE_TARGETS:-all}"
  # The sessions under an X server are left out: the sanitized game there
  # loads the X, GLX and D-Bus libraries with an emptied environment, and
  # what those keep at exit is not yet told apart from ours.
  if [ $# -eq 0 ]; then
    set -- -E '^(window_|shell_window_)'
  fi
else
  read -r -a TARGETS <<< "${SANITIZE_TARGETS:-${PROGRAMS[*]} ${EXTRA_TARGETS[*]}}"
  if [ $# -eq 0 ]; then
    set -- -L "^($(IFS='|'; echo "${PROGRAMS[*]}"))\$"
  fi
fi

SUPPRESSIONS=$PWD/tests/sanitize/lsan.supp
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$SUPPRESSIONS:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

start=$(date +%s)
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMOTTA_SANITIZE="$SANITIZERS" >/dev/null
# What the sanitized game is run with by the end-to-end scripts.
if [ -f "$BUILD_DIR/sanitizer-preload.txt" ]; then
  LUMOTTA_SANITIZER_PRELOAD=$(cat "$BUILD_DIR/sanitizer-preload.txt")
  export LUMOTTA_SANITIZER_PRELOAD
fi
cmake --build "$BUILD_DIR" -j"$JOBS" --target "${TARGETS[@]}"
built=$(date +%s)
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$JOBS" "$@" || status=$?
finished=$(date +%s)
echo "sanitized ($SANITIZERS): build $((built - start)) s, tests $((finished - built)) s"
exit $status
