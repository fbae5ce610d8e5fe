#!/usr/bin/env bash
# Inputs no message can be recorded from are refused with one line and
# status 2 before anything large is allocated: a WAV declaring 1 Hz, a Y4M
# header declaring 16384 x 16384 pictures, a Y4M frame rate of one picture in
# a million seconds, 10-bit Y4M, a PNG whose chunk announces 2 GB (found by
# fuzz_picture_file). Each run is limited to 400 MB of address
# space (unless the build uses sanitizers, whose shadow memory needs more), so
# a large allocation before the refusal fails the test.
#
# usage: absurd_inputs_test.sh QRVTOOL [sanitized]
source "$(dirname "$0")/lib.sh"
qrvtool=$1
sanitized=${2:-}

cd "$files"
# A 16-bit mono WAV header declaring the rate, and 20000 bytes of sound.
wav_at() {
  perl -e 'my $r = $ARGV[0]; print "RIFF", pack("V", 36 + 20000), "WAVEfmt ", pack("VvvVVvv", 16, 1, 1, $r, 2 * $r, 2, 16),
           "data", pack("V", 20000), "\0" x 20000' "$1"
}
wav_at 1 >one-hertz.wav
wav_at 8000 >fine.wav
printf 'YUV4MPEG2 W16384 H16384 C444\n' >huge.y4m
{ printf 'YUV4MPEG2 W16 H16 F1:1000000 C420jpeg\nFRAME\n'; head -c 384 /dev/zero; } >slow.y4m
{ printf 'YUV4MPEG2 W16 H16 F25:1 C420p10\nFRAME\n'; head -c 768 /dev/zero; } >deep.y4m
mkdir damaged-png
cp "$(dirname "$0")/../fuzz/corpus/picture/png-chunk-past-end.png" damaged-png/

refused() {  # refused REASON ARGS...: status 2, one line with REASON, no message written
  local reason=$1
  shift
  set +e
  (
    [[ -n "$sanitized" ]] || ulimit -v 400000
    exec "$qrvtool" "$@" >"$work/out" 2>"$work/err"
  )
  status=$?
  set -e
  expect 2 "qrvtool $*"
  [[ $(err | wc -l) -eq 1 && "$(err)" == *"$reason"* ]] || fail "qrvtool $*: stderr $(err)"
  [[ ! -e out.qrv && -z "$(compgen -G '.out.qrv.*')" ]] || fail "qrvtool $*: a message was written"
}
refused "a sample rate of 1 Hz is outside 1000 to 768000 Hz" encode --audio one-hertz.wav -o out.qrv
refused "larger than 8192 x 8192" encode --audio fine.wav --video huge.y4m -o out.qrv
refused "frame rate 1:1000000 is outside" encode --audio fine.wav --video slow.y4m -o out.qrv
refused "more than 8 bits" encode --audio fine.wav --video deep.y4m -o out.qrv
refused "damaged PNG: its tEXt chunk runs past the end of the file" encode --audio fine.wav --video damaged-png -o out.qrv
note "absurd rates, sizes, bit depths and chunk lengths are refused with one line and no large allocation"
note PASS
