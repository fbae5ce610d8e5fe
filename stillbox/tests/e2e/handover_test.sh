#!/usr/bin/env bash
# The single-instance hand-over between real stillbox processes on a real X
# server: a second copy makes the running one re-read Frames/ and ends without
# a window of its own, and two copies started together leave one running.
#
# usage: handover_test.sh STILLBOX PAINT_FRAMES
set -euo pipefail
stillbox=$1
paint=$2
title='Kestrel Frames Browser'

fail() { echo "handover_test: FAIL: $*" >&2; exit 1; }

if [[ -z "${DISPLAY:-}" ]]; then
  fail "DISPLAY is not set; this test needs an X server (test.sh starts Xvfb and exports DISPLAY)"
fi
for tool in xdotool import convert xdpyinfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
xdpyinfo >/dev/null 2>&1 || fail "cannot reach the X server at DISPLAY=$DISPLAY"

work=$(mktemp -d /tmp/stillbox-e2e.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A private runtime directory, so the test meets no other copy of stillbox.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
mkdir -p "$work/folder/Frames"
cd "$work/folder"

browser_windows() { xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null || true; }

wait_for_window() {
  for _ in $(seq 1 100); do
    local ids
    ids=$(browser_windows)
    if [[ -n "$ids" ]]; then echo "$ids" | head -n1; return 0; fi
    sleep 0.1
  done
  return 1
}

# Pixels of one exact colour in the window; thumbnails of one-colour frames
# are 80 x 60 blocks of that colour.
colour_pixels() {
  import -window "$1" "$work/shot.png" 2>/dev/null || { echo 0; return; }
  convert "$work/shot.png" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info:
}

wait_for_colour() {
  for _ in $(seq 1 100); do
    if (( $(colour_pixels "$1" "$2") >= 4000 )); then return 0; fi
    sleep 0.1
  done
  return 1
}

alive() { kill -0 "$1" 2>/dev/null; }

"$paint" solid Frames/red.bmp ff0000
"$paint" solid Frames/green.bmp 00ff00

# --- A second copy hands over to the running one ---
"$stillbox" & first=$!
pids+=("$first")
window=$(wait_for_window) || fail "the first copy showed no window titled '$title'"
wait_for_colour "$window" '#FF0000' || fail "the first copy did not list red.bmp"
wait_for_colour "$window" '#00FF00' || fail "the first copy did not list green.bmp"

"$paint" solid Frames/blue.bmp 0000ff
sleep 0.5
(( $(colour_pixels "$window" '#0000FF') < 4000 )) || fail "blue.bmp was listed before any hand-over"

"$stillbox" & second=$!
pids+=("$second")
for _ in $(seq 1 200); do alive "$second" || break; sleep 0.1; done
alive "$second" && fail "the second copy is still running after 20 s"
wait "$second" || fail "the second copy ended with status $?"

wait_for_colour "$window" '#0000FF' || fail "the running copy did not re-read Frames/ (blue.bmp not listed)"
alive "$first" || fail "the running copy ended"
count=$(browser_windows | wc -l)
(( count == 1 )) || fail "expected one browser window after the hand-over, found $count"
echo "handover_test: hand-over ok (second copy ended, blue.bmp listed by the first)"

kill "$first"
wait "$first" 2>/dev/null || true
for _ in $(seq 1 50); do [[ -z "$(browser_windows)" ]] && break; sleep 0.1; done

# --- Two copies started at the same moment leave exactly one running ---
"$stillbox" & a=$!
"$stillbox" & b=$!
pids+=("$a" "$b")
wait_for_window >/dev/null || fail "neither of two copies started together showed a window"
sleep 3
running=0
for pid in "$a" "$b"; do alive "$pid" && running=$((running + 1)); done
(( running == 1 )) || fail "expected one of two copies started together to run, $running do"
count=$(browser_windows | wc -l)
(( count == 1 )) || fail "expected one browser window from two copies started together, found $count"
echo "handover_test: two copies started together left one running"
echo "handover_test: PASS"
