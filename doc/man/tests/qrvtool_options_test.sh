#!/usr/bin/env bash
# The options qrvtool's manual page and bash completion offer are the ones
# 'qrvtool COMMAND --help' lists, command by command: an option added to the
# program and forgotten in either (or one left behind there) fails this.
#
# usage: qrvtool_options_test.sh QRVTOOL MANPAGE COMPLETION
set -euo pipefail
qrvtool=$1
page=$2
completion=$3
fail() { echo "qrvtool_options_test: FAIL: $*" >&2; exit 1; }
command -v man >/dev/null || fail "man is not installed (man-db)"

# The option names a help text lists, one a line, sorted: "-o" and "--output".
help_options() {
  "$qrvtool" "$@" --help | sed -nE 's/^  (-[a-z]), (--[a-z0-9-]+).*/\1\n\2/p; s/^      (--[a-z0-9-]+).*/\1/p' | sort -u
}

# What the completion offers after "qrvtool $1 -" (or, with no command, as
# the first word), one a line, sorted; run without the bash-completion
# package, as its fallback does.
completed() {
  bash -c '
    source "$1"
    if [[ -n $2 ]]; then COMP_WORDS=(qrvtool "$2" -); COMP_CWORD=2; else COMP_WORDS=(qrvtool ""); COMP_CWORD=1; fi
    _qrvtool
    printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "${1:-}" | sort -u
}

text=$(MANWIDTH=200 man -l "$page" 2>/dev/null | col -bx)
# The manual's options of command $1: those under its entry in COMMANDS,
# and those of OPTIONS that name no commands or name it.
manual_options() {
  awk -v command="$1" '
    /^[A-Z]/ { section = $0; next }
    section == "COMMANDS" && /^       [a-z]/ { current = $1; next }
    section == "COMMANDS" && current == command && /^           -/ { entry = $0 }
    section == "OPTIONS" && /^       -/ { entry = $0; pending = 1; next }
    section == "OPTIONS" && pending && /^           / {
      pending = 0
      if ($0 ~ /^ *\(/ && index($0, command) == 0) entry = ""
    }
    entry != "" && !pending {
      n = split(entry, words, /[ ,=]+/)
      for (i = 1; i <= n; i++) if (words[i] ~ /^--?[a-z]/) print words[i]
      entry = ""
    }
  ' <<<"$text" | sort -u
}

commands=$("$qrvtool" --help | awk '/^Commands:/ {on = 1; next} on && /^  [a-z]/ {print $1} on && /^$/ {on = 0}' | sort)
[[ -n "$commands" ]] || fail "qrvtool --help lists no commands"
for command in $commands; do
  help=$(help_options "$command")
  [[ -n "$help" ]] || fail "qrvtool $command --help lists no options"
  diff <(echo "$help") <(completed "$command") >/dev/null ||
    fail "the completion of '$command' offers other options than its --help lists:
$(diff <(echo "$help") <(completed "$command") | sed -n 's/^</  only in --help:/p; s/^>/  only in the completion:/p')"
  diff <(echo "$help") <(manual_options "$command") >/dev/null ||
    fail "the manual page's '$command' names other options than its --help lists:
$(diff <(echo "$help") <(manual_options "$command") | sed -n 's/^</  only in --help:/p; s/^>/  only in the manual:/p')"
  echo "qrvtool_options_test: $command: $(echo $help)"
done

# The first word: the commands and the options of qrvtool itself.
first=$( (echo "$commands"; help_options) | sort -u)
completed_first=$(completed | grep -vx help)
[[ "$first" == "$completed_first" ]] || fail "the completion offers as the first word: $(echo $completed_first); --help lists: $(echo $first)"
manual_commands=$(awk '/^[A-Z]/ {s = $0; next} s == "COMMANDS" && /^       [a-z]/ {print $1}' <<<"$text" | sort)
[[ "$manual_commands" == "$commands" ]] || fail "the manual's COMMANDS are $(echo $manual_commands), not $(echo $commands)"
echo "qrvtool_options_test: PASS"
