#!/usr/bin/env bash
# A full file system: every kind of output fails with the system's reason
# (status 1), its old target stays as it was and no partial or temporary
# file is left. The file system is a small tmpfs the test mounts; without the
# right to mount one the test is skipped (status 77) with a message.
#
# usage: full_disk_test.sh QRVTOOL SAMPLES_DIR
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2

cd "$files"
mkdir disk
if ! mount -t tmpfs -o size=4m kestrel-full "$files/disk" 2>mount.err; then
  note "SKIPPED: cannot mount a small tmpfs here: $(cat mount.err)"
  exit 77
fi
on_exit_extra='umount "$files/disk" 2>/dev/null || true'

# Inputs, outside the full file system: a message with pictures, and sound
# and pictures to record one large enough not to fit.
cp "$samples/demo.qrv" m.qrv
sox -n -r 8000 -c 1 -b 16 voice.wav synth 20 sine 300
"$qrvtool" decode m.qrv --y4m pictures.y4m

targets=(old.pcm old.bgr old.wav old.y4m export.wav export.y4m export.mp4 thumb.png old.qrv)
for target in "${targets[@]}"; do echo old >"disk/$target"; done
mkdir disk/frames
echo old >disk/frames/frame-00001.png
# Filled up to the last 64 kB: every output below is larger than that.
avail=$(df -B1 --output=avail disk | tail -n 1)
head -c $((avail - 65536)) /dev/zero >disk/filler
before=$(entries disk)

commands=(
  "decode m.qrv --pcm disk/old.pcm"
  "decode m.qrv --bgr disk/old.bgr"
  "decode m.qrv --wav disk/old.wav"
  "decode m.qrv --y4m disk/old.y4m"
  "decode m.qrv --png disk/frames"
  "export m.qrv -o disk/export.wav"
  "export m.qrv -o disk/export.y4m"
  "export m.qrv -o disk/export.mp4"
  "thumbnail m.qrv disk/thumb.png 1024"
  "encode --audio voice.wav --video pictures.y4m -o disk/old.qrv"
)
for command in "${commands[@]}"; do
  # shellcheck disable=SC2086 # the words of the command
  run "$qrvtool" $command
  expect 1 "$command"
  [[ "$(err)" == *"No space left on device"* || "$(err)" == *"ffmpeg failed"* ]] || fail "$command said: $(err)"
  [[ "$(entries disk)" == "$before" ]] || fail "$command left: $(entries disk)"
  for target in "${targets[@]}" frames/frame-00001.png; do
    [[ $(cat "disk/$target") == old ]] || fail "$command changed $target"
  done
  [[ "$(entries disk/frames)" == "frame-00001.png " ]] || fail "$command left in frames/: $(entries disk/frames)"
done
note "every kind of output on a full disk: status 1, the old file kept, nothing left behind"

# An empty file is written in place (a thumbnail host's); on a full disk it is
# left empty again rather than half written.
: >disk/host.wav
run "$qrvtool" decode m.qrv --wav disk/host.wav
expect 1 "decode into an empty file on a full disk"
[[ -f disk/host.wav && ! -s disk/host.wav ]] || fail "the empty file was left with $(stat -c %s disk/host.wav 2>&1) bytes"
note "an empty file written in place on a full disk is left empty"
note PASS
