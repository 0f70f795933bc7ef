#!/usr/bin/env bash
# Runs a command on a virtual X display of the given depth, its own server
# on a display number the server picks itself, and takes the server down.
#   on_xvfb.sh "DEPTH [SERVER OPTIONS]" COMMAND...
set -uo pipefail
read -r depth options <<<"$1"; shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
Xvfb -displayfd 3 -screen 0 "640x480x$depth" -nolisten tcp $options 3>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
for _ in $(seq 200); do
  grep -q '[0-9]' "$dir/display" 2>/dev/null && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if ! grep -q '[0-9]' "$dir/display" 2>/dev/null; then
  echo "on_xvfb: the server did not start" >&2
  cat "$dir/xvfb.log" >&2
  kill "$server" 2>/dev/null
  exit 1
fi
DISPLAY=":$(tr -d '\n' <"$dir/display")" "$@"
rc=$?
kill "$server"
wait "$server"
exit $rc
