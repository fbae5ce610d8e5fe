#!/usr/bin/env bash
# Asks a real thumbnailer host, tumbler, on a private session bus, for the
# thumbnail of one file, as a file manager does, and waits for it in the
# freedesktop thumbnail cache. The host finds its thumbnailers in the
# environment's XDG_DATA_DIRS; the cache is under XDG_CACHE_HOME.
#
# usage: tumbler_thumbnail.sh FILE MIME-TYPE   (prints the thumbnail's path)
set -euo pipefail
file=$(readlink -f "$1")
mime=$2

fail() { echo "tumbler_thumbnail: FAIL: $*" >&2; exit 1; }
[[ -n "${XDG_CACHE_HOME:-}" ]] || fail "XDG_CACHE_HOME is not set"
tumblerd=$(ls /usr/lib/*/tumbler-1/tumblerd 2>/dev/null | head -n1)
[[ -x "$tumblerd" ]] || fail "tumblerd is not installed (tumbler)"
command -v dbus-run-session >/dev/null || fail "dbus-run-session is not installed (dbus-bin)"
command -v gdbus >/dev/null || fail "gdbus is not installed (libglib2.0-bin)"

if [[ -z "${TUMBLER_THUMBNAIL_ON_BUS:-}" ]]; then
  # A bus of our own, ended with this script: no other desktop service is met.
  # (Its daemon's note that it may not raise its file limit is no concern here.)
  TUMBLER_THUMBNAIL_ON_BUS=1 dbus-run-session -- "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
  exit
fi

# The file's URI, every byte but the unreserved ones percent-encoded.
uri=file://
LC_ALL=C
for ((i = 0; i < ${#file}; i++)); do
  c=${file:i:1}
  case $c in
  [A-Za-z0-9/._~-]) uri+=$c ;;
  *) printf -v c '%%%02X' "'$c" && uri+=$c ;;
  esac
done
thumbnail="$XDG_CACHE_HOME/thumbnails/normal/$(printf '%s' "$uri" | md5sum | cut -d' ' -f1).png"

mkdir -p "$XDG_CACHE_HOME"
# The host's GStreamer thumbnailer, which plays no part here, would first scan
# every GStreamer plugin into a fresh registry: half a minute on a busy machine.
export GST_PLUGIN_SYSTEM_PATH_1_0="$XDG_CACHE_HOME/no-gstreamer-plugins" GST_PLUGIN_PATH_1_0=
log=$(mktemp /tmp/tumblerd-log.XXXXXX)
"$tumblerd" >"$log" 2>&1 &
host=$!
trap 'kill "$host" 2>/dev/null || true; wait "$host" 2>/dev/null || true; rm -f "$log"' EXIT

service=org.freedesktop.thumbnails.Thumbnailer1
path=/org/freedesktop/thumbnails/Thumbnailer1
gdbus wait --session --timeout 30 "$service" ||
  fail "tumblerd did not take $service on the bus: $(cat "$log")"

gdbus call --session --dest "$service" --object-path "$path" --method "$service.Queue" \
  "['$uri']" "['$mime']" normal foreground 0 >/dev/null || fail "the Queue call failed"
for _ in $(seq 1 200); do
  [[ -s "$thumbnail" ]] && { echo "$thumbnail"; exit 0; }
  sleep 0.1
done
fail "no thumbnail at $thumbnail after 20 s; tumblerd said: $(cat "$log")"
