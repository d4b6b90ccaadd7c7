#!/usr/bin/env bash
# The built program's command line as a shell sees it: --help and --version
# on standard output with status 0, a bad command line with the usage on
# standard error and status 2, before any window or file is touched.
source "$(dirname "$0")/install_common.sh" "$@"
mkdir -p "$work/home" "$work/here"
cd "$work/here" || exit 1

run_headless "$program" --help || fail "--help ended with status $?"
grep -q "^Usage: lumotta \[OPTION\]" "$work/out.txt" || fail "--help printed: $(cat "$work/out.txt")"
for option in --data --windowed --fullscreen --scale --record --replay --version; do
  grep -q -- "$option" "$work/out.txt" || fail "--help does not name $option"
done
[ -s "$work/err.txt" ] && fail "--help wrote to standard error"

run_headless "$program" --version || fail "--version ended with status $?"
grep -qx "Lumotta [0-9]*\.[0-9]*\.[0-9]*" "$work/out.txt" || fail "--version printed: $(cat "$work/out.txt")"

expect_usage_error() {
  local want=$1
  shift
  run_headless "$program" "$@"
  local status=$?
  [ "$status" -eq 2 ] || fail "$* ended with status $status, not 2"
  grep -q -- "$want" "$work/err.txt" || fail "$*: standard error lacks \"$want\": $(cat "$work/err.txt")"
  [ -s "$work/out.txt" ] && fail "$* wrote to standard output"
  return 0
}
expect_usage_error 'unknown option "--frobnicate"' --frobnicate
grep -q "^Usage: lumotta" "$work/err.txt" || fail "an unknown option does not print the usage"
expect_usage_error 'unknown option "level7"' level7
expect_usage_error "--scale takes a number" --scale 0
expect_usage_error "--scale takes a number" --scale huge
expect_usage_error "--data needs a value" --data
expect_usage_error "holds no game data" --data "$work/nothing-here"
expect_usage_error "cannot be read" --replay "$work/no-such.rep"
echo "not a replay" > "$work/bad.rep"
expect_usage_error "the replay $work/bad.rep" --replay "$work/bad.rep"
expect_usage_error "cannot be used together" --record "$work/rec" --replay "$work/bad.rep"
# None of them left anything behind.
[ -z "$(ls -A "$work/here")" ] || fail "a refused start wrote $(ls -A "$work/here")"
[ -e "$work/home/.local" ] && fail "a refused start wrote into the home folder"
echo PASS
