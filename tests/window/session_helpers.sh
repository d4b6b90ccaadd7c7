# What the window sessions share, sourced inside the X server's session. The
# session sets program, probe, shots and (once it has started the game) pid
# and window.
pid=""
fail() {
  echo "FAIL: $*"
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}
alive() { kill -0 "$pid" 2>/dev/null || fail "the program ended on its own (see Log.txt)"; }
# A key held for a tenth of a second: longer than a tick, as a finger does.
press() {
  alive
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
  sleep "${2:-0.3}"
}
value() { sed -n "s/^$1 //p"; }
# Reads the window from the X server into $shots/NAME.png and checks that it
# is a 640x480 picture whose mean pixel value lies in LOW..HIGH (a black or
# washed-out window fails).
grab() {
  local name=$1 low=$2 high=$3
  alive
  local out
  out=$("$probe" grab "$window" "$shots/$name.png") || fail "the window could not be read"
  [ "$(echo "$out" | value size)" = 640x480 ] || fail "$name: the window is $(echo "$out" | value size)"
  mean=$("$probe" colours "$shots/$name.png" | value mean)
  echo "$name: mean pixel value $mean"
  within "$mean" "$low" "$high" || fail "$name: mean pixel value $mean is outside $low..$high"
}
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
# The share of pixels of A within 24 per channel of B.
share() { "$probe" compare "$1" "$2" 24 | value match; }
expect_match() {
  local a=$1 b=$2 min=$3 s
  s=$(share "$a" "$b")
  echo "$(basename "$a") ~ $(basename "$b"): $s of the pixels match (at least $min needed)"
  within "${s:-0}" "$min" 1 || fail "$(basename "$a") does not look like $(basename "$b")"
}
# Waits (up to SECONDS) until the window's mean pixel value lies in LOW..HIGH,
# doing STEP (a command, "sleep 0.1" unless given) between looks.
wait_for_mean() {
  local name=$1 low=$2 high=$3 seconds=$4 step=${5:-sleep 0.1} mean=""
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    alive
    "$probe" grab "$window" "$shots/$name.png" >/dev/null || fail "the window could not be read"
    mean=$("$probe" colours "$shots/$name.png" | value mean)
    within "$mean" "$low" "$high" && { echo "$name: mean pixel value $mean"; return; }
    $step
  done
  fail "$name: after ${seconds} s the mean pixel value is $mean, not in $low..$high"
}
# Waits (up to SECONDS) until the window looks like the reference frame,
# doing STEP between looks as above.
wait_for_picture() {
  local name=$1 reference=$2 min=$3 seconds=$4 step=${5:-sleep 0.1} s=""
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    alive
    "$probe" grab "$window" "$shots/$name.png" >/dev/null || fail "the window could not be read"
    s=$(share "$shots/$name.png" "$reference")
    within "${s:-0}" "$min" 1 && {
      echo "$name ~ $(basename "$reference"): $s of the pixels match (at least $min needed)"
      return
    }
    $step
  done
  fail "$name: after ${seconds} s only $s of the pixels match $(basename "$reference") (at least $min needed)"
}
# Starts the program with the arguments given, finds its window and gives it
# the keyboard focus: sets pid and window.
start_game() {
  "$program" "$@" &
  pid=$!
  window=""
  for _ in $(seq 1 200); do
    window=$(xdotool search --onlyvisible --name '^Lumotta$' 2>/dev/null | head -n1)
    [ -n "$window" ] && break
    alive
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window captioned Lumotta"
  focus_game
}
focus_game() { xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"; }
# Escape, and the program ends with status 0 within five seconds.
quit_game() {
  press Escape 0
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "Escape did not end the program"
  wait "$pid"
  local status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}
# "WIDTHxHEIGHT at X,Y" of the window, as the X server has it.
geometry() {
  xdotool getwindowgeometry "$window" | awk '/Position:/ { split($2, p, ","); pos = p[1] "," p[2] }
                                             /Geometry:/ { size = $2 } END { print size " at " pos }'
}
# Waits (up to five seconds) until the window's geometry is WANTED.
wait_for_geometry() {
  local wanted=$1 now=""
  for _ in $(seq 1 100); do
    now=$(geometry)
    [ "$now" = "$wanted" ] && { echo "window: $now"; return; }
    sleep 0.05
  done
  fail "the window is $now, not $wanted"
}
