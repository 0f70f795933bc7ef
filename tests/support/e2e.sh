# What the shell-script tests of the Windows programs share: the shared names
# (scripts/lib/contract.sh), waiting, windows by title, the sound server's
# streams. Source it.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/contract.sh"
fail() { echo "FAIL: $*"; exit 1; }
# Polls (up to $1 tenths of a second) until the command succeeds.
poll() {
  local n=$1; shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
ended() { ! kill -0 "$1" 2>/dev/null; }
# ends_cleanly WHAT PID TENTHS: the process ends within the time, with status 0.
ends_cleanly() {
  poll "$3" ended "$2" || { kill "$2"; fail "$1: still running after $(($3 / 10)) s"; }
  wait "$2"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$1: ended with status $rc"
}
shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
canvas() { xdotool search --name "^$(contract RendererTitle)\$" 2>/dev/null | head -n 1; }
has_canvas() { [ -n "$(canvas)" ]; }
no_canvas() { [ -z "$(canvas)" ]; }
streams() { pactl list short sink-inputs 2>/dev/null | grep -c .; }
playing() { [ "$(streams)" -gt 0 ]; }
silent() { [ "$(streams)" -eq 0 ]; }
