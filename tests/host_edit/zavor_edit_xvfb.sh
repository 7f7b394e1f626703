#!/bin/bash
# zavor edit with the real GTK window on a private virtual X server, typed at
# by xdotool as a designer would: a new file name confirmed with Enter is
# written into the line, Escape after typing leaves the script untouched.
# Exits 77 (skipped) without Xvfb or xdotool. Every wait has a time limit.
# Usage: zavor_edit_xvfb.sh PATH/TO/zavor
set -u
zavor=$1

for tool in Xvfb xdotool timeout; do
  if ! command -v "$tool" > /dev/null; then
    echo "skipped: $tool is not installed (scripts/packages.txt lists xvfb and xdotool)"
    exit 77
  fi
done

scratch=$(mktemp -d)
xvfb_pid=
zavor_pid=
cleanup() {
  [ -n "$zavor_pid" ] && kill "$zavor_pid" 2> /dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null && wait "$xvfb_pid" 2> /dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

# Our own server, never the user's display: the keys must not land anywhere
# else. It names its display number on the descriptor it is given.
Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp 5> "$scratch/display" 2> "$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
if [ ! -s "$scratch/display" ]; then
  echo "skipped: Xvfb did not start"; cat "$scratch/xvfb.log"
  exit 77
fi
export DISPLAY=":$(head -n 1 "$scratch/display")"
export NO_AT_BRIDGE=1  # no accessibility bus to wait for
# GTK keeps allocations for the whole process; they are no leak of ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# edit LINE KEYS...: starts zavor edit on s.zq, waits for the window, gives
# it the focus and sends the xdotool commands; then waits for zavor.
edit() {
  local line=$1
  shift
  timeout 60 "$zavor" edit "$scratch/s.zq" "$line" > "$scratch/out" 2> "$scratch/err" &
  zavor_pid=$!
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^ZQ-PDF$' 2> /dev/null | head -n 1)
  if [ -z "$window" ]; then
    fail "the editor window did not appear"
    kill "$zavor_pid" 2> /dev/null
  else
    timeout 10 xdotool windowfocus --sync "$window"
    sleep 0.3
    local step
    for step in "$@"; do
      # shellcheck disable=SC2086  # each step is one xdotool command line
      timeout 10 xdotool $step
    done
  fi
  wait "$zavor_pid"
  status=$?
  zavor_pid=
}

printf 'PRINT vorher\r\nZQ-PDF Typ=3 PDFDatei=alt.pdf PDFstarten=false\r\nPRINT nachher' > "$scratch/s.zq"
cp "$scratch/s.zq" "$scratch/before"

# The window opens with the focus on the action list; Tab goes on to the
# file name, the only text box of the action shown.
edit 2 "key --delay 50 Tab ctrl+a" "type --delay 30 neu.pdf" "key Escape"
[ "$status" = 0 ] || fail "Escape: exit status $status: $(cat "$scratch/err")"
cmp -s "$scratch/s.zq" "$scratch/before" || fail "Escape changed the script"
[ "$(cat "$scratch/out")" = "$scratch/s.zq:2: unchanged" ] || fail "Escape: output $(cat "$scratch/out")"

edit 2 "key --delay 50 Tab ctrl+a" "type --delay 30 neu.pdf" "key Return"
[ "$status" = 0 ] || fail "Enter: exit status $status: $(cat "$scratch/err")"
printf 'PRINT vorher\r\nZQ-PDF Typ=3 PDFDatei=neu.pdf PDFstarten=false\r\nPRINT nachher' > "$scratch/expected"
cmp -s "$scratch/s.zq" "$scratch/expected" || fail "Enter: the script reads $(od -c "$scratch/s.zq")"
[ "$(cat "$scratch/out")" = "$scratch/s.zq:2: ZQ-PDF Typ=3 PDFDatei=neu.pdf PDFstarten=false" ] ||
  fail "Enter: output $(cat "$scratch/out")"

[ "$failures" = 0 ] && echo "zavor edit under Xvfb: both cases passed"
[ "$failures" = 0 ]
