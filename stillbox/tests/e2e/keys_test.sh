#!/usr/bin/env bash
# The browser from the keyboard, on a display with a window manager and with
# real key presses: Escape and Return close neither the window nor the About
# box but keep their meaning in the menus, the delete confirmation, the save
# dialog and its overwrite prompt; Delete, F5, Shift+F10, the Menu key and
# Ctrl+A work as in any file browser.
#
# usage: keys_test.sh STILLBOX PAINT_FRAMES OUTPUT_DIR
set -euo pipefail
stillbox=$1
paint=$2
E2E_OUT=$3
E2E_NAME=stillbox-keys
source "$(dirname "$0")/../../../common/tests/e2e/x11_session.sh"
title='Kestrel Frames Browser'

mkdir -p "$E2E_WORK/folder/Frames"
cd "$E2E_WORK/folder"
"$paint" solid Frames/green.bmp 00ff00
"$paint" solid Frames/red.bmp ff0000

e2e_start "$stillbox"
browser=$E2E_PID
window=$(e2e_wait_window "$title") || fail "no window titled '$title'"
e2e_wait_colour "$window" '#00FF00' 4000 || fail "green.bmp was not listed"
e2e_wait_colour "$window" '#FF0000' 4000 || fail "red.bmp was not listed"
xdotool windowactivate --sync "$window"

# Nothing happens to the browser itself.
still_running() {
  e2e_alive "$browser" || fail "the browser ended $1"
  [[ -n "$(e2e_windows_named "$title")" ]] || fail "the browser's window closed $1"
}
# Waits for the box titled $1, answers it with key $2 and waits until it is gone.
answer_box() {
  e2e_wait_window "$1" >/dev/null || fail "no box titled '$1'"
  e2e_shot "$3"
  e2e_keys "$2"
  e2e_wait_gone "$1" || fail "$2 did not answer the box '$1'"
}
# Opens the keyboard's context menu with keys $1 and checks that it is shown.
open_menu() {
  e2e_keys "$1"
  e2e_wait_popup "$browser" >/dev/null || fail "$1 opened no menu"
}

e2e_keys Escape Return KP_Enter
still_running "after Escape and Return in its window"
note "Escape and Return leave the main window open"

# Nothing selected: Shift+F10 opens menu 130 (Refresh, Delete All); Escape
# closes it, and Down, Down, Return runs its second item.
open_menu shift+F10
e2e_shot menu-none
e2e_keys Escape
e2e_wait_no_popup "$browser" || fail "Escape did not close the context menu"
still_running "after Escape in its context menu"
open_menu shift+F10
e2e_keys Down Down Return
answer_box 'Delete Multiple Items' Escape delete-all-asked
[[ -e Frames/green.bmp && -e Frames/red.bmp ]] || fail "Escape in the confirmation deleted frames"
note "menu 130 from Shift+F10: Escape closes it, Return runs Delete All, Escape answers No"

# Delete with one frame selected asks, and deletes only on Yes.
e2e_keys End Home
e2e_keys Delete
answer_box 'Delete File' Escape delete-one-asked
[[ -e Frames/green.bmp ]] || fail "green.bmp was deleted without a Yes"
e2e_keys Delete
answer_box 'Delete File' Return delete-one-yes
[[ ! -e Frames/green.bmp ]] || fail "Return (Yes) did not delete green.bmp"
for _ in $(seq 1 30); do (( $(e2e_colour_pixels "$window" '#00FF00') == 0 )) && break; sleep 0.1; done
(( $(e2e_colour_pixels "$window" '#00FF00') == 0 )) || fail "green.bmp is still shown after its deletion"
[[ -e Frames/red.bmp ]] || fail "red.bmp went with green.bmp"
note "Delete asks; Escape keeps the frame, Return deletes it"

# F5 lists a frame added meanwhile.
"$paint" solid Frames/blue.bmp 0000ff
e2e_keys F5
e2e_wait_colour "$window" '#0000FF' 4000 || fail "F5 did not list blue.bmp"
e2e_shot refreshed
note "F5 lists a frame added meanwhile"

# Shift+F10 at the selected frame opens menu 131, whose second item is
# Save As; Return in the dialog saves under the offered name.
e2e_keys End Home
open_menu shift+F10
e2e_shot menu-single
e2e_keys Down Down Return
e2e_wait_window 'Save Frame As...' >/dev/null || fail "menu 131's Save As did not open the save dialog"
e2e_shot save-dialog
e2e_keys Return
e2e_wait_gone 'Save Frame As...' || fail "Return did not save in the save dialog"
cmp -s blue.bmp Frames/blue.bmp || fail "Return in the save dialog did not copy blue.bmp"
note "Shift+F10 opens the frame's menu; Return saves in 'Save Frame As...'"

# Onto an existing file: Escape answers the overwrite prompt and then
# cancels the dialog, and nothing is written.
printf 'earlier' >blue.bmp
open_menu shift+F10
e2e_keys Down Down Return
e2e_wait_window 'Save Frame As...' >/dev/null || fail "the save dialog did not open again"
e2e_keys Return
for _ in $(seq 1 50); do (( $(e2e_windows_named 'Save Frame As...' | wc -l) == 2 )) && break; sleep 0.1; done
(( $(e2e_windows_named 'Save Frame As...' | wc -l) == 2 )) || fail "no overwrite prompt over the save dialog"
e2e_shot overwrite-prompt
e2e_keys Escape
for _ in $(seq 1 50); do (( $(e2e_windows_named 'Save Frame As...' | wc -l) == 1 )) && break; sleep 0.1; done
(( $(e2e_windows_named 'Save Frame As...' | wc -l) == 1 )) || fail "Escape did not answer the overwrite prompt"
e2e_keys Escape
e2e_wait_gone 'Save Frame As...' || fail "Escape did not cancel the save dialog"
[[ "$(cat blue.bmp)" == earlier ]] || fail "a cancelled Save As wrote the file"
note "Escape answers the overwrite prompt and cancels the save dialog"

# Ctrl+A selects every frame: Delete then asks about all of them. The Menu
# key opens the frames' menu too, even from the check box.
e2e_keys ctrl+a Delete
answer_box 'Delete Multiple Items' Escape select-all-asked
e2e_keys Tab
open_menu Menu
e2e_shot menu-key
e2e_keys Down Return
answer_box 'Delete Multiple Items' Escape menu-key-delete-asked
e2e_keys shift+Tab
note "Ctrl+A selects all; the Menu key opens the frames' menu from the check box"

# The About box (F1): Escape and Return do not close it; its close box does.
e2e_keys F1
about=$(e2e_wait_window 'About Frames Browser') || fail "F1 did not open the About box"
e2e_keys Escape Return KP_Enter
[[ -n "$(e2e_windows_named 'About Frames Browser')" ]] || fail "Escape or Return closed the About box"
e2e_shot about
xdotool windowactivate --sync "$about"
e2e_keys alt+F4
e2e_wait_gone 'About Frames Browser' || fail "the About box did not close with its close box"
still_running "with its About box"
note "Escape and Return leave the About box open"
note "PASS"
