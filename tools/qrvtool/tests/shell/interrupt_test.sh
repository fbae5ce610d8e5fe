#!/usr/bin/env bash
# An interrupted qrvtool leaves no temporary file and every old target as it
# was: SIGINT, SIGTERM and SIGHUP while an encode waits for the rest of its
# sound from a FIFO, SIGINT while a decode into pictures and sound waits for
# the rest of its message, SIGTERM while ffmpeg (a stand-in that hangs) makes
# an MP4, which ends the stand-in too.
#
# usage: interrupt_test.sh QRVTOOL SAMPLES_DIR
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2
# With job control, background jobs keep the signals' default actions (a
# shell without it starts them with SIGINT ignored) and get process groups
# of their own, so a feeder and all it started can be stopped at once.
set -m
feeder=
on_exit_extra='[[ -z "$feeder" ]] || kill -- -"$feeder" 2>/dev/null || true'

cd "$files"
sox -n -r 44100 -c 2 -b 16 voice.wav synth 5 sine 300
mkfifo slow.wav slow.qrv

# feed FIFO FILE BYTES: FILE's first BYTES bytes into FIFO, then nothing more for a minute.
feed() {
  { head -c "$3" "$2"; sleep 60; } >"$1" &
  feeder=$!
}
stop_feeder() {
  kill -- -"$feeder" 2>/dev/null || true
  wait "$feeder" 2>/dev/null || true
  feeder=
}
# wait_for GLOB: until a file matches, for at most ten seconds.
wait_for() {
  for _ in $(seq 100); do
    compgen -G "$1" >/dev/null && return 0
    sleep 0.1
  done
  fail "nothing matched $1"
}

echo old >out.qrv
for signal in INT TERM HUP; do
  feed slow.wav voice.wav 200000
  "$qrvtool" encode --audio slow.wav -o out.qrv &
  pid=$!
  wait_for '.out.qrv.*'
  kill -s "$signal" "$pid"
  set +e
  wait "$pid"
  status=$?
  set -e
  stop_feeder
  [[ $status -eq $((128 + $(kill -l "$signal"))) ]] || fail "SIG$signal: exit status $status"
  [[ $(cat out.qrv) == old ]] || fail "SIG$signal: the old message was touched"
  [[ "$(entries .)" == "out.qrv slow.qrv slow.wav voice.wav " ]] || fail "SIG$signal left: $(entries .)"
done
note "SIGINT, SIGTERM and SIGHUP during an encode leave the old message and no temporary file"

mkdir frames
echo old >frames/frame-00001.png
echo old >out.wav
feed slow.qrv "$samples/demo.qrv" 60000
"$qrvtool" decode slow.qrv --png frames --wav out.wav &
pid=$!
wait_for 'frames/.frames.*/frame-00002.png'
kill -INT "$pid"
set +e
wait "$pid"
status=$?
set -e
stop_feeder
[[ $status -eq 130 ]] || fail "decode: exit status $status"
[[ "$(entries frames)" == "frame-00001.png " && $(cat frames/frame-00001.png) == old ]] || fail "decode left in frames/: $(entries frames)"
[[ $(cat out.wav) == old && "$(entries .)" == "frames out.qrv out.wav slow.qrv slow.wav voice.wav " ]] ||
  fail "decode left: $(entries .)"
note "SIGINT during a decode leaves the old pictures and sound and no temporary file"

mkdir bin tmp
cat >bin/ffmpeg <<'STANDIN'
#!/bin/sh
# Writes part of its output (the last argument) and hangs.
for output; do :; done
echo partial >"$output"
echo $$ >"$STANDIN_PID"
exec sleep 60
STANDIN
chmod +x bin/ffmpeg
echo old >old.mp4
STANDIN_PID="$files/standin.pid" TMPDIR="$files/tmp" PATH="$files/bin:$PATH" "$qrvtool" export "$samples/demo.qrv" -o old.mp4 &
pid=$!
wait_for standin.pid
kill -TERM "$pid"
set +e
wait "$pid"
status=$?
set -e
[[ $status -eq 143 ]] || fail "export: exit status $status"
[[ $(cat old.mp4) == old && -z "$(entries tmp)" &&
  "$(entries .)" == "bin frames old.mp4 out.qrv out.wav slow.qrv slow.wav standin.pid tmp voice.wav " ]] ||
  fail "export left: $(entries .) and in its temporary folder: $(entries tmp)"
standin=$(cat standin.pid)
for _ in $(seq 50); do kill -0 "$standin" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$standin" 2>/dev/null || fail "the program export started is still running"
note "SIGTERM during an export ends ffmpeg and leaves the old file and no temporary file"
note PASS
