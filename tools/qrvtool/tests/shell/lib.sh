# Shared by the command-line tests, which run the built programs as a shell
# does: a work folder removed at the end, and `run` to capture a command's
# exit status, stdout and stderr.
set -euo pipefail
test_name=$(basename "$0" .sh)
fail() { echo "$test_name: FAIL: $*" >&2; exit 1; }
note() { echo "$test_name: $*"; }

# The test works in $files; what `run` captures goes beside it.
work=$(mktemp -d "/tmp/$test_name.XXXXXX")
files="$work/files"
mkdir "$files"
on_exit_extra=:
trap 'eval "$on_exit_extra"; rm -rf "$work"' EXIT

# run CMD...: sets $status and leaves stdout in $work/out, stderr in $work/err.
run() {
  set +e
  "$@" >"$work/out" 2>"$work/err"
  status=$?
  set -e
}
out() { cat "$work/out"; }
err() { cat "$work/err"; }

# expect STATUS WHAT: the last run ended with STATUS.
expect() {
  [[ $status -eq $1 ]] || fail "$2: exit status $status, expected $1; stderr: $(err)"
}

# The only entries in a folder, hidden ones included, sorted.
entries() { (cd "$1" && ls -A | sort | tr '\n' ' '); }

sum() { md5sum "$1" | cut -d' ' -f1; }
