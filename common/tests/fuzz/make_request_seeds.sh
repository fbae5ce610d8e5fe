#!/usr/bin/env bash
# Writes the seed corpus of fuzz_instance_request: each input is one byte
# that says where the bytes are cut into two arrivals, then what a peer sends.
#
# usage: make_request_seeds.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
seed() {
  local name=$1
  shift
  printf "$@" >"$dir/$name"
}
seed browser '\002%s\n' 1124
seed player '\001%s\n' 16
seed browser-then-more '\005%s\nmore' 1124
seed partial '\003%s' 112
seed negative '\001%s\n' -5
seed garbage '\004garbage\n'
seed spaced '\002%s \n' 1124
seed zero-padded '\000%s\n' 01124
seed wrapped '\002%s\n' 4294968420
seed empty-line '\000\n'
seed long-line '\010%s\n' 1124000000000000000000
seed no-end '\020%s' 1111111111111111111111111111111
