#!/usr/bin/env bash
# The programs installed as a user installs them, into a temporary prefix seen
# through temporary XDG folders, and taken away again:
# - every file in place, the desktop's caches refreshed by the install;
# - desktop entries, AppStream data and icons valid;
# - the message type known, with the player as its program to xdg-mime, GIO and
#   xdg-open without a desktop session, and a thumbnail from a real thumbnailer
#   host (tumbler);
# - the windows name their desktop entries (WM_CLASS on X11, the application
#   id on Wayland); stillbox opens a folder it is given;
# - the player's first-run entry says what the installed one says;
# - bash completes qrvtool;
# - uninstall leaves the prefix empty and the type unknown.
#
# usage: install_test.sh BUILD_DIR SOURCE_DIR PAINT_FRAMES
set -euo pipefail
build=$1
source_dir=$2
paint=$3
samples=$source_dir/samples

fail() { echo "install_test: FAIL: $*" >&2; exit 1; }
note() { echo "install_test: $*"; }
for tool in desktop-file-validate appstreamcli rsvg-convert xdg-mime xdg-open mimetype gio xdotool xprop import \
  convert compare update-mime-database update-desktop-database gtk-update-icon-cache weston; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/ensure-packages.sh test)"
done
[[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1 || fail "no X server at DISPLAY='${DISPLAY:-}' (test.sh starts Xvfb)"

work=$(mktemp -d /tmp/kestrel-install.XXXXXX)
pids=()
# The install records itself in the build folder; a developer's own install
# recorded there is put back afterwards, so that their uninstall still works.
records=(install_manifest.txt install_folders.txt)
for record in "${records[@]}"; do
  [[ -e "$build/$record" ]] && cp -p "$build/$record" "$work/$record.kept"
done
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  for record in "${records[@]}"; do
    rm -f "$build/$record"
    [[ -e "$work/$record.kept" ]] && cp -p "$work/$record.kept" "$build/$record"
  done
  rm -rf "$work"
}
trap cleanup EXIT

prefix="$work/prefix"
share="$prefix/share"
export HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_DATA_DIRS="$share:/usr/share"
# No desktop session: xdg-open and xdg-mime take their generic ways.
unset XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID \
  MATE_DESKTOP_SESSION_ID DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
message="$work/messages/greeting from mum.qrv"
mkdir -p "$(dirname "$message")"
cp "$samples/demo.qrv" "$message"

# --- Install ---
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed: $(cat "$work/install.log")"
for file in bin/player bin/qrvtool bin/stillbox \
  share/applications/kestrel-player.desktop share/applications/kestrel-stillbox.desktop \
  share/metainfo/com.orvane.kestrel.player.metainfo.xml share/metainfo/com.orvane.kestrel.stillbox.metainfo.xml \
  share/mime/packages/kestrel-message.xml share/thumbnailers/kestrel-message.thumbnailer \
  share/icons/hicolor/scalable/apps/kestrel-player.svg share/icons/hicolor/scalable/apps/kestrel-stillbox.svg \
  share/icons/hicolor/scalable/mimetypes/application-x-kestrel-message.svg \
  share/icons/hicolor/256x256/apps/kestrel-player.png share/icons/hicolor/32x32/apps/kestrel-stillbox.png \
  share/man/man1/player.1 share/man/man1/stillbox.1 share/man/man1/qrvtool.1 \
  share/bash-completion/completions/qrvtool; do
  [[ -e "$prefix/$file" ]] || fail "$file was not installed"
done
# qrvtool's modules, which the thumbnail below loads from where the installed program is.
for module in qt formats; do
  compgen -G "$prefix/lib*/kestrel/libqrvtool-$module.so" >/dev/null || fail "qrvtool's $module module was not installed"
done
# The caches the desktop reads, refreshed by the install itself.
grep -q 'application/x-kestrel-message:\*\.qrv' "$share/mime/globs2" || fail "the MIME database lacks *.qrv"
grep -q '^application/x-kestrel-message=kestrel-player.desktop;' "$share/applications/mimeinfo.cache" ||
  fail "the desktop database does not name the player for the type"
[[ -s "$share/icons/hicolor/icon-theme.cache" ]] || fail "no icon cache was made"
grep -qx "Exec=$prefix/bin/player %f" "$share/applications/kestrel-player.desktop" ||
  fail "the player's entry does not run the installed player: $(grep '^Exec' "$share/applications/kestrel-player.desktop")"
grep -qx "Exec=$prefix/bin/stillbox %f" "$share/applications/kestrel-stillbox.desktop" ||
  fail "the stillbox entry does not run the installed stillbox"
note "installed, caches refreshed"

# --- Desktop metadata is valid ---
for entry in "$share"/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "$(basename "$entry") is not a valid desktop entry"
done
for data in "$share"/metainfo/*.xml; do
  appstreamcli validate --no-net "$data" >"$work/appstream.log" 2>&1 ||
    fail "$(basename "$data"): $(cat "$work/appstream.log")"
done
for icon in "$share"/icons/hicolor/scalable/*/*.svg; do
  rsvg-convert -w 48 -h 48 "$icon" -o "$work/icon.png" 2>"$work/icon.log" || fail "$icon does not render: $(cat "$work/icon.log")"
  [[ $(convert "$work/icon.png" -alpha extract -format '%[fx:mean>0.2]' info:) == 1 ]] ||
    fail "$icon renders (nearly) empty"
done
note "entries, AppStream data and icons valid"

# --- The type and its program, as the desktop sees them ---
[[ "$(xdg-mime query filetype "$message")" == application/x-kestrel-message* ]] ||
  fail "xdg-mime sees the message as '$(xdg-mime query filetype "$message")'"
[[ "$(xdg-mime query default application/x-kestrel-message)" == kestrel-player.desktop ]] ||
  fail "xdg-mime names '$(xdg-mime query default application/x-kestrel-message)' for the type"
[[ "$(gio info -a standard::content-type "$message" | awk '/content-type/ {print $2}')" == application/x-kestrel-message ]] ||
  fail "GIO does not see the message's type"
gio mime application/x-kestrel-message >"$work/gio.txt" 2>&1
grep -A1 '^Registered applications:' "$work/gio.txt" | grep -qx $'\tkestrel-player.desktop' ||
  fail "GIO lists no player for the type: $(cat "$work/gio.txt")"
note "xdg-mime and GIO name the player"

# Processes of one installed program, by the file they run.
processes_of() {
  local proc
  for proc in /proc/[0-9]*; do
    [[ "$(readlink "$proc/exe" 2>/dev/null)" == "$1" ]] && echo "${proc#/proc/}"
  done
  return 0
}
wait_for_process() {
  local pid
  for _ in $(seq 1 100); do
    pid=$(processes_of "$1" | head -n1)
    [[ -n "$pid" ]] && { echo "$pid"; return 0; }
    sleep 0.1
  done
  return 1
}
wait_for_window() {  # PID TITLE
  for _ in $(seq 1 100); do
    local id
    id=$(xdotool search --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# On X11 desktop shells match a window to its entry (and so to its icon and
# task-bar group) by WM_CLASS, which the entry names as StartupWMClass.
expect_window_class() {  # WINDOW ENTRY CLASS
  xprop -id "$1" WM_CLASS >"$work/xprop.txt"
  grep -qF "WM_CLASS(STRING) = \"$3\", \"$3\"" "$work/xprop.txt" || fail "unexpected WM_CLASS: $(cat "$work/xprop.txt")"
  grep -qx "StartupWMClass=$3" "$share/applications/$2.desktop" || fail "$2.desktop does not name the class $3"
}

# --- xdg-open without a desktop session starts the installed player ---
xdg-open "$message" >"$work/xdg-open.log" 2>&1 &
xdg_open=$!
pids+=("$xdg_open")
player_pid=$(wait_for_process "$prefix/bin/player") || fail "xdg-open started no player: $(cat "$work/xdg-open.log")"
pids+=("$player_pid")
[[ "$(tr '\0' '\n' <"/proc/$player_pid/cmdline" | tail -n1)" == "$message" ]] ||
  fail "the player was started as: $(tr '\0' ' ' <"/proc/$player_pid/cmdline")"
window=$(wait_for_window "$player_pid" 'Kestrel Message Player') || fail "the player showed no window"
expect_window_class "$window" kestrel-player player
[[ ! -e "$XDG_DATA_HOME/applications/kestrel-player.desktop" ]] ||
  fail "the installed player registered itself over the installed type"
# xdg-open first: once its player has ended it would try other ways to open the file.
kill "$xdg_open" "$player_pid"
note "xdg-open starts the player with the message; its window has the class its entry names"

# --- stillbox opens the frames of the folder it is given ---
mkdir -p "$work/calls/Frames" "$work/elsewhere"
"$paint" solid "$work/calls/Frames/red.bmp" ff0000
(cd "$work/elsewhere" && exec "$prefix/bin/stillbox" "$work/calls/Frames") 2>"$work/stillbox.log" &
stillbox_pid=$!
pids+=("$stillbox_pid")
window=$(wait_for_window "$stillbox_pid" '^Kestrel Frames Browser$') || fail "stillbox showed no window: $(cat "$work/stillbox.log")"
listed=0
for _ in $(seq 1 100); do
  import -window "$window" "$work/stillbox.png" 2>/dev/null || true
  listed=$(convert "$work/stillbox.png" -alpha off -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0)
  ((listed >= 4000)) && break
  sleep 0.1
done
((listed >= 4000)) || fail "stillbox did not list the frame of the folder it was given"
expect_window_class "$window" kestrel-stillbox stillbox
kill "$stillbox_pid"
set +e
QT_QPA_PLATFORM=offscreen "$prefix/bin/stillbox" "$work/no such folder" 2>"$work/refused.log"
status=$?
set -e
[[ $status == 1 && "$(cat "$work/refused.log")" == "stillbox: $work/no such folder: No such file or directory" ]] ||
  fail "a missing folder gave status $status: $(cat "$work/refused.log")"
note "stillbox lists the frames of the folder it is given; its window has the class its entry names"

# --- On Wayland the windows name their entries as their application id ---
weston --backend=headless-backend.so --socket=kestrel-wayland --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [[ -S "$XDG_RUNTIME_DIR/kestrel-wayland" ]] && break; sleep 0.1; done
[[ -S "$XDG_RUNTIME_DIR/kestrel-wayland" ]] || fail "weston did not start: $(cat "$work/weston.log")"
for program in player:kestrel-player stillbox:kestrel-stillbox; do
  # The client's own record of what it tells the compositor.
  WAYLAND_DISPLAY=kestrel-wayland QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
    "$prefix/bin/${program%%:*}" 2>"$work/wayland.log" >/dev/null &
  pids+=($!)
  for _ in $(seq 1 100); do grep -q 'set_app_id(' "$work/wayland.log" && break; sleep 0.1; done
  kill "${pids[-1]}"
  wait "${pids[-1]}" 2>/dev/null || true
  grep -qF "set_app_id(\"${program#*:}\")" "$work/wayland.log" ||
    fail "${program%%:*} gave the application id: $(grep -o 'set_app_id([^)]*)' "$work/wayland.log" || echo none)"
done
note "on Wayland the windows name kestrel-player and kestrel-stillbox"

# --- A thumbnail from a real thumbnailer host ---
thumbnail=$("$(dirname "$0")/tumbler_thumbnail.sh" "$message" application/x-kestrel-message) ||
  fail "tumbler made no thumbnail"
"$prefix/bin/qrvtool" thumbnail "$message" "$work/direct.png" 128
[[ "$(compare -metric AE "$thumbnail" "$work/direct.png" null: 2>&1)" == 0 ]] ||
  fail "tumbler's thumbnail is not the message's first picture"
note "tumbler draws the message's first picture through the installed thumbnailer"

# --- The player's first-run entry matches the installed one ---
# Where the installed type is not seen, the installed player registers itself.
first_run="$work/first-run"
mkdir -p "$first_run/data" "$first_run/config" "$first_run/runtime"
chmod 700 "$first_run/runtime"
XDG_DATA_DIRS=/usr/share XDG_DATA_HOME="$first_run/data" XDG_CONFIG_HOME="$first_run/config" \
  XDG_RUNTIME_DIR="$first_run/runtime" QT_QPA_PLATFORM=offscreen "$prefix/bin/player" 2>/dev/null &
pids+=($!)
registered="$first_run/data/applications/kestrel-player.desktop"
for _ in $(seq 1 100); do
  compgen -G "$first_run/runtime/*.socket" >/dev/null && break
  sleep 0.1
done
[[ -f "$registered" ]] || fail "the installed player did not register itself where its type was unknown"
kill "${pids[-1]}"
diff <(grep -v '^\(Exec\|TryExec\)=' "$share/applications/kestrel-player.desktop") \
  <(grep -v '^\(Exec\|TryExec\)=' "$registered") >"$work/entries.diff" ||
  fail "the first-run entry differs from the installed one: $(cat "$work/entries.diff")"
grep -qx "TryExec=$prefix/bin/player" "$registered" && grep -qx "Exec=$prefix/bin/player %f" "$registered" ||
  fail "the first-run entry does not name the player plainly: $(grep Exec "$registered")"
note "the first-run entry says what the installed entry says"

# --- bash completes qrvtool ---
touch "$work/messages/a.qrv" "$work/messages/b.wav" "$work/messages/c.png"
completions() {
  (
    set +euo pipefail
    cd "$work/messages"
    source /usr/share/bash-completion/bash_completion
    source "$share/bash-completion/completions/qrvtool"
    COMP_LINE=$1 COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"
    [[ "$1" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _qrvtool qrvtool "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
  )
}
[[ "$(completions 'qrvtool ')" == "--help --version -h decode encode export help info thumbnail" ]] ||
  fail "qrvtool's commands complete as: $(completions 'qrvtool ')"
decode_options="--bgr --help --md5 --no-clobber --pcm --png --quiet --threads --verify --version --wav --y4m"
[[ "$(completions 'qrvtool decode a.qrv --')" == "$decode_options" ]] ||
  fail "decode's options complete as: $(completions 'qrvtool decode a.qrv --')"
[[ "$(completions 'qrvtool info ')" == "a.qrv greeting from mum.qrv" ]] ||
  fail "info's message completes as: $(completions 'qrvtool info ')"
[[ "$(completions 'qrvtool thumbnail a.qrv ')" == "c.png" ]] ||
  fail "thumbnail's output completes as: $(completions 'qrvtool thumbnail a.qrv ')"
note "bash completes qrvtool's commands, options and files"

# --- Uninstall leaves nothing, and the type unknown ---
cmake --build "$build" --target uninstall >"$work/uninstall.log" 2>&1 || fail "uninstall failed: $(cat "$work/uninstall.log")"
if [[ -e "$prefix" ]]; then
  left=$(find "$prefix" -mindepth 1)
  [[ -z "$left" ]] || fail "uninstall left: $left"
fi
[[ "$(xdg-mime query filetype "$message")" != application/x-kestrel-message* ]] || fail "xdg-mime still knows the type"
[[ "$(gio info -a standard::content-type "$message" | awk '/content-type/ {print $2}')" != application/x-kestrel-message ]] ||
  fail "GIO still knows the type"
note "uninstall leaves the prefix empty and the type unknown"
note "PASS"
