#!/usr/bin/env bash
# The single-instance hand-over between real stillbox processes, with a
# runtime directory too long for a socket path: garbage on the running
# copy's socket leaves it running and unmoved, a second copy makes it re-read
# Frames/ and ends without a window of its own, and two copies started
# together leave one running.
#
# usage: handover_test.sh STILLBOX PAINT_FRAMES OUTPUT_DIR
set -euo pipefail
stillbox=$1
paint=$2
E2E_OUT=$3
E2E_NAME=stillbox-handover
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Frames Browser'

# 100 characters, as a deeply nested runtime directory may be.
runtime="$E2E_WORK/runtime-"
runtime+=$(printf 'r%.0s' $(seq 1 $((100 - ${#runtime}))))
(( ${#runtime} == 100 )) || fail "the runtime path has ${#runtime} characters, not 100"
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime

mkdir -p "$E2E_WORK/folder/Frames"
cd "$E2E_WORK/folder"
"$paint" solid Frames/red.bmp ff0000
"$paint" solid Frames/green.bmp 00ff00

e2e_start "$stillbox"
first=$E2E_PID
window=$(e2e_wait_window "$title") || fail "the first copy showed no window titled '$title'"
e2e_wait_colour "$window" '#FF0000' 4000 || fail "the first copy did not list red.bmp"
e2e_wait_colour "$window" '#00FF00' 4000 || fail "the first copy did not list green.bmp"

# --- Anything but the refresh request is hung up on unheard ---
"$paint" solid Frames/blue.bmp 0000ff
for request in '-5\n' '-2147483648\n' 'garbage\n' '16\n' '4294968420\n' '1124 1124\n'; do
  reply=$(printf -- "$request" | python3 "$here/../../../common/tests/e2e/listener_send.py" "$first")
  [[ "$reply" == "answer=b'' closed=yes" ]] || fail "the running copy answered '$request' with: $reply"
done
reply=$(head -c 1000000 /dev/zero | tr '\0' 7 | python3 "$here/../../../common/tests/e2e/listener_send.py" "$first")
[[ "$reply" == "answer=b'' closed=yes" ]] || fail "the running copy answered a megabyte of digits with: $reply"
e2e_alive "$first" || fail "the running copy ended after garbage on its socket"
(( $(e2e_colour_pixels "$window" '#0000FF') < 4000 )) || fail "garbage on the socket refreshed the list"
note "garbage, negative numbers and a megabyte line were hung up on, and the browser runs on"

# --- A second copy hands over to the running one ---
e2e_start "$stillbox"
second=$E2E_PID
for _ in $(seq 1 200); do e2e_alive "$second" || break; sleep 0.1; done
e2e_alive "$second" && fail "the second copy is still running after 20 s"
wait "$second" || fail "the second copy ended with status $?"
e2e_wait_colour "$window" '#0000FF' 4000 || fail "the running copy did not re-read Frames/ (blue.bmp not listed)"
e2e_alive "$first" || fail "the running copy ended"
count=$(e2e_windows_named "$title" | wc -l)
(( count == 1 )) || fail "expected one browser window after the hand-over, found $count"
e2e_shot handed-over
note "hand-over ok (second copy ended, blue.bmp listed by the first)"

kill "$first"
wait "$first" 2>/dev/null || true
e2e_wait_gone "$title" || fail "the first copy's window stayed after it ended"

# --- Two copies started at the same moment leave exactly one running ---
e2e_start "$stillbox"
a=$E2E_PID
e2e_start "$stillbox"
b=$E2E_PID
e2e_wait_window "$title" >/dev/null || fail "neither of two copies started together showed a window"
sleep 3
running=0
for pid in "$a" "$b"; do e2e_alive "$pid" && running=$((running + 1)); done
(( running == 1 )) || fail "expected one of two copies started together to run, $running do"
count=$(e2e_windows_named "$title" | wc -l)
(( count == 1 )) || fail "expected one browser window from two copies started together, found $count"
note "two copies started together left one running"
note "PASS"
