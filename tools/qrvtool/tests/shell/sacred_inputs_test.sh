#!/usr/bin/env bash
# qrvtool never destroys its input: every output that is an input (by any
# name, or through standard input and output) is refused with one line and
# status 2, and the input's bytes stay as they were; -n keeps existing files.
#
# usage: sacred_inputs_test.sh QRVTOOL SAMPLES_DIR
source "$(dirname "$0")/lib.sh"
qrvtool=$1
samples=$2

cd "$files"
cp "$samples/demo.qrv" m.qrv
cp m.qrv m.wav
cp m.qrv m.mp4
ln m.qrv hard-link.qrv
ln -s m.qrv sym-link.qrv
before=$(sum m.qrv)

refused() {  # refused WHAT: status 2, one line naming the refusal, nothing on stdout
  expect 2 "$1"
  [[ $(err | wc -l) -eq 1 && "$(err)" == *"refusing to overwrite"* ]] || fail "$1: stderr was: $(err)"
  [[ ! -s "$work/out" ]] || fail "$1: wrote to stdout"
}
for option in --pcm --bgr --wav --y4m --png; do
  for name in m.qrv hard-link.qrv sym-link.qrv; do
    run "$qrvtool" decode m.qrv "$option" "$name"
    refused "decode $option $name"
  done
done
run "$qrvtool" decode - --pcm m.qrv <m.qrv
refused "decode from standard input into the same file"
set +e
"$qrvtool" decode m.qrv --pcm - >>m.qrv 2>"$work/err"
status=$?
set -e
: >"$work/out"
refused "decode into standard output appended to the input"
run "$qrvtool" export m.wav -o m.wav
refused "export to WAV over the input"
run "$qrvtool" export m.mp4 -o m.mp4
refused "export to MP4 over the input"
run "$qrvtool" thumbnail m.qrv m.qrv
refused "thumbnail over the input"
for file in m.qrv m.wav m.mp4; do
  [[ $(sum "$file") == "$before" ]] || fail "$file changed"
done
[[ "$(entries .)" == "hard-link.qrv m.mp4 m.qrv m.wav sym-link.qrv " ]] || fail "files left behind: $(entries .)"
note "outputs that are inputs are refused and the inputs are unchanged"

# -n: an existing output stays, with status 1 and a line; without -n it is replaced.
echo old >out.wav
run "$qrvtool" decode -n m.qrv --wav out.wav
expect 1 "decode -n over an existing file"
[[ "$(err)" == *"out.wav: already exists; not overwritten (-n)"* ]] || fail "decode -n said: $(err)"
[[ $(cat out.wav) == old ]] || fail "-n replaced the file"
run "$qrvtool" thumbnail --no-clobber m.qrv out.wav
expect 1 "thumbnail --no-clobber over an existing file"
chmod 640 out.wav
run "$qrvtool" decode m.qrv --wav=out.wav
expect 0 "decode over an existing file"
[[ $(head -c 4 out.wav) == RIFF && $(stat -c %a out.wav) == 640 ]] || fail "the replaced file is no WAV or lost its permissions"
note "-n keeps existing files; without it they are replaced and keep their permissions"

# An empty file that a thumbnail host made and holds open is filled in place:
# the host reads through its own handle, which a rename would leave empty.
: >host.png
exec 7<host.png
run "$qrvtool" thumbnail m.qrv host.png 64
expect 0 "thumbnail into an empty file held open"
[[ "$(head -c 8 <&7 | od -An -c | tr -d ' ')" == '211PNG\r\n032\n' ]] || fail "the held handle reads no PNG"
exec 7<&-
note "an empty output file is written in place"

# Odd names: a leading dash after --, spaces, a line break, bytes that are not UTF-8.
odd=$'-odd name\n\xe9.qrv'
cp -- m.qrv "$odd"
run "$qrvtool" decode --md5 -- "$odd"
expect 0 "decode of an oddly named message"
run "$qrvtool" decode m.qrv --wav "$odd.wav" --png "$odd dir" -- 
expect 0 "outputs with odd names"
[[ -s "$odd.wav" && -s "$odd dir/frame-00050.png" ]] || fail "the oddly named outputs are missing"
note "names with a leading dash, spaces, line breaks and non-UTF-8 bytes work"
note PASS
