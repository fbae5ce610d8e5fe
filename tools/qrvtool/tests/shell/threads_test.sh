#!/usr/bin/env bash
# Pictures on several threads: decode, export and encode give the same bytes
# with any --threads as with one, through files and pipes, for well-formed
# messages and for one whose payloads run past their records; --threads
# takes 1 and more only.
#
# usage: threads_test.sh QRVTOOL SAMPLES_DIR GOLDEN_MESSAGE
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2
golden=$3

cd "$files"
cp "$samples/demo.qrv" demo.qrv
cp "$golden" golden.qrv

for message in demo.qrv golden.qrv; do
  one=$("$qrvtool" decode "$message" --threads 1 --md5) || fail "decode $message --threads 1 failed"
  for threads in 2 3 8; do
    many=$("$qrvtool" decode "$message" --threads "$threads" --md5) || fail "decode $message --threads $threads failed"
    [[ "$many" == "$one" ]] || fail "decode $message --threads $threads gave $many, one thread $one"
  done
  # Without --threads: one per core, the same again.
  [[ "$("$qrvtool" decode "$message" --md5)" == "$one" ]] || fail "decode $message with the default threads differs"
done
# Through a pipe in and out, pictures and sound each in file order.
"$qrvtool" decode demo.qrv --threads 1 --bgr one.bgr --pcm one.pcm
cat demo.qrv | "$qrvtool" decode - --threads 4 --bgr - --pcm many.pcm >many.bgr
cmp -s one.bgr many.bgr || fail "pictures piped out of four threads differ from one thread's"
cmp -s one.pcm many.pcm || fail "the sound decoded beside four picture threads differs"
# Sound alone: no output takes the pictures, which are then not decoded.
"$qrvtool" decode demo.qrv --threads 4 --pcm alone.pcm
cmp -s one.pcm alone.pcm || fail "the sound decoded without the pictures differs"
note "decode gives the same pictures and sound on 1, 2, 3, 4 and 8 threads"

"$qrvtool" export -q demo.qrv --threads 1 -o one.y4m
"$qrvtool" export -q demo.qrv --threads=3 -o many.y4m
cmp -s one.y4m many.y4m || fail "export to Y4M on three threads differs from one thread's"
note "export gives the same Y4M on 1 and 3 threads"

# Recorded again from the decoded pictures: the same message, byte for byte.
"$qrvtool" decode demo.qrv --wav sound.wav --y4m pictures.y4m
"$qrvtool" encode -q --audio sound.wav --video pictures.y4m --threads 1 -o one.qrv
"$qrvtool" encode -q --audio sound.wav --video pictures.y4m --threads 3 -o many.qrv
cmp -s one.qrv many.qrv || fail "encode on three threads wrote another message than on one"
cat pictures.y4m | "$qrvtool" encode -q --audio sound.wav --video - --threads 2 -o piped.qrv
cmp -s one.qrv piped.qrv || fail "encode of piped pictures on two threads wrote another message"
# Fewer pictures than threads have slots: the last ones still go in.
ffmpeg -v error -i pictures.y4m -frames:v 2 -f yuv4mpegpipe short.y4m
"$qrvtool" encode -q --audio sound.wav --video short.y4m --threads 1 -o short-one.qrv
"$qrvtool" encode -q --audio sound.wav --video short.y4m --threads 8 -o short-many.qrv
cmp -s short-one.qrv short-many.qrv || fail "encode of two pictures on eight threads differs"
[[ "$("$qrvtool" info short-many.qrv | awk -F': *' '/^video records/ {print $2}')" == 2 ]] ||
  fail "the short message does not hold its two pictures: $("$qrvtool" info short-many.qrv)"
# A slow stream (one frame a second, larger than a picture): each frame is
# converted and scaled once and shown in five pictures, whichever thread
# takes them.
ffmpeg -v error -i pictures.y4m -vf scale=400:300 -r 1 -f yuv4mpegpipe slow.y4m
"$qrvtool" encode -q --audio sound.wav --video slow.y4m --threads 1 -o slow-one.qrv
for threads in 2 5; do
  "$qrvtool" encode -q --audio sound.wav --video slow.y4m --threads $threads -o slow-many.qrv
  cmp -s slow-one.qrv slow-many.qrv || fail "encode of a one-frame-a-second stream on $threads threads differs"
done
note "encode writes the same message on 1, 2, 3, 5 and 8 threads"

for wrong in 0 -2 abc 1x 257 ""; do
  for command in "decode demo.qrv --md5" "export demo.qrv -o x.wav" "encode --audio sound.wav -o x.qrv"; do
    # shellcheck disable=SC2086 # the words of the command line
    run "$qrvtool" $command --threads "$wrong"
    expect 2 "qrvtool $command --threads '$wrong'"
    [[ "$(err)" == *"--threads takes 1 to 256"* || "$wrong" == "" ]] || fail "--threads '$wrong': $(err)"
  done
done
[[ ! -e x.wav && ! -e x.qrv ]] || fail "a refused --threads left an output behind"
note "--threads refuses 0, negatives, words and more than 256"
note PASS
