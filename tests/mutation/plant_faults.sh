#!/usr/bin/env bash
# Measures how well the test suite guards the play logic, the play drawing and
# the asset catalogue: plants single faults (a changed constant, a dropped
# step, a swapped comparison) one at a time, rebuilds only the test programs
# named for the fault, runs them, and counts the faults some test caught.
#
#   tests/mutation/plant_faults.sh [--faults FILE] [--build DIR] [--check] [ID...]
#
#   --faults FILE  the fault list (default: faults.txt beside this script)
#   --build DIR    a configured build folder (default: build, or $LUMOTTA_BUILD_DIR)
#   --check        only check that every fault still applies to the sources
#   ID...          plant only these faults
#
# Each fault is a block of lines in the fault list:
#   id:    a short name
#   what:  what the fault breaks, in a few words
#   tests: test programs to run, separated by commas
#   file:  the source file, from the top of the tree
#   from:  text that occurs exactly once in the file
#   to:    what it becomes ("@NL@" stands for a line break in from and to)
#
# A fault is caught when a test that passes on the unchanged sources fails,
# or a program crashes or runs past its time. Faults whose text no longer
# occurs once are reported and left out of the count, as are faults that do
# not build. The sources are changed in place and put back after each fault
# (also when the script is interrupted); the build is brought back to the
# unchanged sources at the end. Not part of the normal test run.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/../.." && pwd)"
faults="$here/faults.txt"
build="${LUMOTTA_BUILD_DIR:-$top/build}"
check_only=0
wanted=()
while [ $# -gt 0 ]; do
  case "$1" in
    --faults) faults="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --check) check_only=1; shift ;;
    -h|--help) sed -n '2,28p' "$0"; exit 0 ;;
    *) wanted+=("$1"); shift ;;
  esac
done
case "$build" in /*) ;; *) build="$top/$build" ;; esac
[ -f "$faults" ] || { echo "No fault list at $faults" >&2; exit 2; }
command -v perl >/dev/null || { echo "perl is needed" >&2; exit 2; }

work="$(mktemp -d)"
backup=""
backup_of=""
restore() {
  if [ -n "$backup_of" ]; then
    cp "$backup" "$top/$backup_of"
    backup_of=""
  fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'echo "Interrupted: sources put back" >&2; exit 130' INT TERM

# --- Reading the fault list ------------------------------------------------
ids=(); whats=(); progs=(); files=(); froms=(); tos=()
add_fault() {
  [ -n "${f_id:-}" ] || return 0
  ids+=("$f_id"); whats+=("${f_what:-}"); progs+=("${f_tests:-}")
  files+=("${f_file:-}"); froms+=("${f_from:-}"); tos+=("${f_to:-}")
  f_id=""; f_what=""; f_tests=""; f_file=""; f_from=""; f_to=""
}
f_id=""
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    '#'*|'') continue ;;
    'id: '*) add_fault; f_id="${line#id: }" ;;
    'what: '*) f_what="${line#what: }" ;;
    'tests: '*) f_tests="${line#tests: }" ;;
    'file: '*) f_file="${line#file: }" ;;
    'from: '*) f_from="${line#from: }" ;;
    'to: '*) f_to="${line#to: }" ;;
    'to:') f_to="" ;;
    *) echo "Unreadable line in $faults: $line" >&2; exit 2 ;;
  esac
done < "$faults"
add_fault

# Occurrences of `from` in a file (the @NL@ marks become line breaks).
occurrences() {
  FROM="$2" perl -0777 -ne '$f = $ENV{FROM}; $f =~ s/\@NL\@/\n/g; $n = () = /\Q$f\E/g; print $n' "$1"
}
plant() {
  FROM="$2" TO="$3" perl -0777 -pi -e '$f = $ENV{FROM}; $t = $ENV{TO}; s/\@NL\@/\n/g for $f, $t; s/\Q$f\E/$t/' "$1"
}

selected() {
  [ ${#wanted[@]} -eq 0 ] && return 0
  local w
  for w in "${wanted[@]}"; do [ "$w" = "$1" ] && return 0; done
  return 1
}

stale=0
for i in "${!ids[@]}"; do
  selected "${ids[$i]}" || continue
  n=$(occurrences "$top/${files[$i]}" "${froms[$i]}" 2>/dev/null || echo 0)
  if [ "$n" != 1 ]; then
    echo "STALE ${ids[$i]}: the text occurs $n times in ${files[$i]}"
    stale=$((stale + 1))
  fi
done
if [ "$check_only" = 1 ]; then
  echo "${#ids[@]} faults, $stale stale"
  [ "$stale" = 0 ]
  exit
fi

# --- Building and running the test programs ----------------------------------
corpus="$(cd "$top/.." && pwd)/shared/media-corpus"
test_env=(SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "LUMOTTA_DATA_DIR=$build/data"
          "LUMOTTA_SOURCE_DIR=$top" "LUMOTTA_CORPUS_DIR=$corpus")

build_programs() {  # programs... ; quiet, status of the build
  cmake --build "$build" -j2 --target "$@" > "$work/build.log" 2>&1
}

program_path() {
  find "$build/tests" -name "$1" -type f -perm -u+x -print -quit
}

# Runs one program whole; writes its failing tests to $work/<prog>.failed and
# returns the program's status.
run_program() {
  local prog="$1" path status
  path="$(program_path "$prog")"
  [ -n "$path" ] || { echo "no program $prog" > "$work/$prog.failed"; return 99; }
  mkdir -p "$build/test-work/$prog"
  (cd "$build/test-work/$prog" && env "${test_env[@]}" timeout 300 "$path" --gtest_brief=1) \
    > "$work/$prog.out" 2>&1
  status=$?
  sed -n 's/^\[  FAILED  \] \([A-Za-z_][A-Za-z0-9_/.]*\).*/\1/p' "$work/$prog.out" | sort -u \
    > "$work/$prog.failed"
  return $status
}

all_programs=()
for i in "${!ids[@]}"; do
  selected "${ids[$i]}" || continue
  IFS=, read -ra ps <<< "${progs[$i]}"
  for p in "${ps[@]}"; do
    case " ${all_programs[*]:-} " in *" $p "*) ;; *) all_programs+=("$p") ;; esac
  done
done

start=$(date +%s)
echo "Building ${all_programs[*]} on the unchanged sources"
build_programs "${all_programs[@]}" || { cat "$work/build.log" | tail -30; exit 2; }
for p in "${all_programs[@]}"; do
  run_program "$p"
  status=$?
  cp "$work/$p.failed" "$work/$p.baseline"
  echo "$status" > "$work/$p.baseline-status"
  if [ -s "$work/$p.baseline" ] || [ "$status" != 0 ]; then
    echo "Note: $p fails on the unchanged sources (status $status): $(tr '\n' ' ' < "$work/$p.baseline")"
  fi
done

caught=0; missed=0; unbuilt=0; tried=0
missed_list=()
for i in "${!ids[@]}"; do
  id="${ids[$i]}"
  selected "$id" || continue
  file="${files[$i]}"
  [ "$(occurrences "$top/$file" "${froms[$i]}")" = 1 ] || continue
  t0=$(date +%s)
  backup="$work/backup"
  cp "$top/$file" "$backup"
  backup_of="$file"
  plant "$top/$file" "${froms[$i]}" "${tos[$i]}"
  IFS=, read -ra ps <<< "${progs[$i]}"
  if ! build_programs "${ps[@]}"; then
    restore
    unbuilt=$((unbuilt + 1))
    echo "UNBUILT $id: ${whats[$i]}"
    continue
  fi
  by=""
  for p in "${ps[@]}"; do
    run_program "$p"
    status=$?
    new="$(comm -23 "$work/$p.failed" "$work/$p.baseline" | head -3 | tr '\n' ' ')"
    if [ -n "$new" ]; then by="$p: $new"; break; fi
    if [ "$status" != 0 ] && [ "$status" != "$(cat "$work/$p.baseline-status")" ]; then
      by="$p: ended with status $status"; break
    fi
  done
  restore
  tried=$((tried + 1))
  if [ -n "$by" ]; then
    caught=$((caught + 1))
    echo "CAUGHT  $id ($(( $(date +%s) - t0 )) s) by $by"
  else
    missed=$((missed + 1))
    missed_list+=("$id: ${whats[$i]}")
    echo "MISSED  $id ($(( $(date +%s) - t0 )) s): ${whats[$i]}"
  fi
done

echo "Rebuilding on the unchanged sources"
build_programs "${all_programs[@]}" || echo "The final rebuild failed: see $build" >&2

elapsed=$(( $(date +%s) - start ))
echo
[ ${#missed_list[@]} -gt 0 ] && printf 'Missed: %s\n' "${missed_list[@]}"
echo "Faults planted: $tried (stale: $stale, did not build: $unbuilt)"
if [ "$tried" -gt 0 ]; then
  echo "Caught: $caught of $tried ($(( 100 * caught / tried )) %) in $((elapsed / 60)) min $((elapsed % 60)) s"
fi
