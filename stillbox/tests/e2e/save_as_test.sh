#!/usr/bin/env bash
# Save As on a display with a window manager, with real key presses: a path
# into a folder that does not exist is answered with a message naming it and
# the save dialog stays; a copy that goes slowly shows its progress, wide
# enough for its title, and Cancel there (Escape) leaves the destination as
# it was and no temporary file behind.
#
# usage: save_as_test.sh STILLBOX PAINT_FRAMES OUTPUT_DIR
set -euo pipefail
stillbox=$1
paint=$2
E2E_OUT=$3
E2E_NAME=stillbox-save-as
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Frames Browser'
dialog='Save Frame As...'

mkdir -p "$E2E_WORK/folder/Frames" "$E2E_WORK/out"
cd "$E2E_WORK/folder"
"$paint" solid Frames/red.bmp ff0000
"$paint" solid Frames/white.bmp ffffff
printf 'the copy made before' >"$E2E_WORK/out/copy.bmp"

e2e_start "$stillbox"
browser=$E2E_PID
window=$(e2e_wait_window "$title") || fail "no window titled '$title'"
e2e_wait_colour "$window" '#FF0000' 4000 || fail "red.bmp was not listed"
xdotool windowactivate --sync "$window"

# Waits until $2 windows are titled $1.
wait_count() {
  for _ in $(seq 1 50); do (( $(e2e_windows_named "$1" | wc -l) == $2 )) && return 0; sleep 0.1; done
  return 1
}
# Opens the save dialog for the selected frame from its menu and types $1.
save_as() {
  e2e_keys shift+F10
  e2e_wait_popup "$browser" >/dev/null || fail "Shift+F10 opened no menu"
  e2e_keys Down Down Return
  e2e_wait_window "$dialog" >/dev/null || fail "Save As did not open the save dialog"
  e2e_keys ctrl+a
  xdotool type --delay 20 "$1"
}

# --- A folder that does not exist ---
e2e_keys End Home
missing="$E2E_WORK/no such folder/frame.bmp"
save_as "$missing"
e2e_keys Return
wait_count "$dialog" 2 || fail "no message over the save dialog for a missing folder"
e2e_shot missing-folder
e2e_keys Return
wait_count "$dialog" 1 || fail "the message did not close, or took the save dialog with it"
[[ ! -e "$E2E_WORK/no such folder" ]] || fail "the missing folder was made"
e2e_keys Escape
e2e_wait_gone "$dialog" || fail "Escape did not cancel the save dialog"
note "a path into a missing folder is refused with a message, and the dialog stays"

# --- A slow copy, cancelled ---
# The listed frame becomes a pipe that gives a few bytes and then nothing:
# the copy runs until it is cancelled.
mkfifo "$E2E_WORK/slow"
exec 7<>"$E2E_WORK/slow"
printf 'BM the first bytes' >&7
mv "$E2E_WORK/slow" Frames/red.bmp
save_as "$E2E_WORK/out/copy.bmp"
e2e_keys Return
wait_count "$dialog" 2 || fail "no overwrite prompt for copy.bmp"
e2e_keys y
progress=$(e2e_wait_window 'Saving Frame...') || fail "no progress for a copy that runs on"
e2e_shot slow-copy
width=$(xwininfo -id "$progress" | awk '/Width:/ { print $2 }')
(( width >= 240 )) || fail "the progress is $width pixels wide, too narrow for its title"
e2e_keys Escape
e2e_wait_gone 'Saving Frame...' || fail "Escape did not cancel the copy"
exec 7>&-
[[ "$(cat "$E2E_WORK/out/copy.bmp")" == 'the copy made before' ]] || fail "the cancelled copy changed copy.bmp"
[[ "$(ls -A "$E2E_WORK/out")" == copy.bmp ]] || fail "the cancelled copy left files: $(ls -A "$E2E_WORK/out")"
e2e_alive "$browser" || fail "the browser ended"
note "a slow copy shows its progress; Escape cancels it and leaves the destination as it was"
note "PASS"
