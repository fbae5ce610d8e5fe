#!/usr/bin/env bash
# qrvtool in pipelines: "-" as standard input and output, FIFOs and process
# substitution (each input read once, in one pass), and what comes out of a
# pipe equals what goes into a file: sox reads the streamed WAV, ffmpeg the
# streamed Y4M, with the same samples and pictures.
#
# usage: pipelines_test.sh QRVTOOL SAMPLES_DIR
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2

cd "$files"
cp "$samples/demo.qrv" demo.qrv
"$qrvtool" decode demo.qrv --pcm file.pcm --wav file.wav --y4m file.y4m --md5 >file.md5

# The sound through a pipe into sox, as samples equal to the file's.
cat demo.qrv | "$qrvtool" decode - --wav - | sox -t wav - -t raw -e signed -b 16 piped.pcm 2>sox.err ||
  fail "cat | qrvtool decode - --wav - | sox failed: $(cat sox.err)"
cmp -s piped.pcm file.pcm || fail "sox read other samples from the pipe than the file holds"
stat=$(cat demo.qrv | "$qrvtool" decode - --wav - | sox -t wav - -n stat 2>&1) || fail "sox -n stat failed: $stat"
[[ "$stat" == *"Samples read:             80000"* ]] || fail "sox stat: $stat"
# Into a file through standard output, the lengths are set afterwards: the same file as --wav FILE.
"$qrvtool" decode demo.qrv --wav - >redirected.wav
cmp -s redirected.wav file.wav || fail "--wav - into a file differs from --wav FILE"
note "the streamed WAV reads in sox as the file's samples"

# The pictures through a pipe into ffmpeg: the same frames as from the file.
"$qrvtool" decode demo.qrv --y4m - | ffmpeg -v error -f yuv4mpegpipe -i - -f framemd5 - >piped.framemd5 ||
  fail "qrvtool decode --y4m - | ffmpeg failed"
ffmpeg -v error -f yuv4mpegpipe -i file.y4m -f framemd5 - >file.framemd5
[[ $(grep -c '^0,' piped.framemd5) -eq 50 ]] || fail "ffmpeg read $(grep -c '^0,' piped.framemd5) pictures, not 50"
cmp -s piped.framemd5 file.framemd5 || fail "ffmpeg read other pictures from the pipe than from the file"
"$qrvtool" decode demo.qrv --y4m - | ffmpeg -v error -f yuv4mpegpipe -i - -f null - || fail "ffmpeg -f null failed"
note "the streamed Y4M reads in ffmpeg as the file's pictures"

# Inputs read once: standard input, process substitution, a FIFO; the thumbnail to standard output.
mkfifo fifo
for input in "-" "<(cat demo.qrv)" fifo; do
  [[ $input != fifo ]] || cat demo.qrv >fifo &
  digests=$(eval "\"\$qrvtool\" decode $input --md5" <demo.qrv) || fail "decode $input failed"
  [[ "$digests" == "$(cat file.md5)" ]] || fail "decode $input gave $digests"
done
wait
info=$("$qrvtool" info <(cat demo.qrv)) || fail "info of a process substitution failed"
[[ "$info" == *"video records:      50"* ]] || fail "info <(...) said: $info"
"$qrvtool" thumbnail - - <demo.qrv >piped.png
"$qrvtool" thumbnail demo.qrv file.png
cmp -s piped.png file.png || fail "the thumbnail on standard output differs from the file"
note "standard input, process substitution and FIFOs are read in one pass"

# thumbnail reads no further than the first picture, or four seconds of sound:
# fed that much and then nothing, it ends, with the thumbnail of the whole file.
cp "$samples/voice.qrv" voice.qrv
mkfifo hanging
for case in "demo.qrv 10000" "voice.qrv 7000"; do
  read -r message bytes <<<"$case"
  { head -c "$bytes" "$message"; exec sleep 60; } >hanging &
  feeder=$!
  timeout 30 "$qrvtool" thumbnail hanging partial.png || fail "thumbnail of $message waited for more than it needs"
  kill "$feeder"
  wait "$feeder" 2>/dev/null || true
  "$qrvtool" thumbnail "$message" whole.png
  cmp -s partial.png whole.png || fail "the thumbnail of the first $bytes bytes of $message differs"
done
note "thumbnail stops at the first picture or after four seconds of sound"

# Recording from a pipe: the sound arrives through process substitution.
sox -n -r 44100 -c 2 -b 16 voice.wav synth 3 sine 300
"$qrvtool" encode -q --audio <(cat voice.wav) -o piped.qrv
"$qrvtool" encode -q --audio voice.wav -o file.qrv
cmp -s piped.qrv file.qrv || fail "a message recorded from a pipe differs from one recorded from the file"
note "a message is recorded from a pipe as from a file"

# Only one output may be standard output, and never a terminal's.
run "$qrvtool" decode demo.qrv --pcm - --wav -
expect 2 "two outputs on standard output"
[[ ! -s "$work/out" ]] || fail "something was written to standard output"
note PASS
