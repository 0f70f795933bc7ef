# shellcheck shell=bash
# What the shell-script tests of the Windows programs share: the shared names
# (scripts/lib/contract.sh), waiting, windows by title, the sound server's streams, clean-up. Source
# it. A test that starts a program or a server in the background, or leaves files, takes them down
# in a function given to at_end: it runs on every way out (the end, a fail, an error, HUP, INT or
# TERM).
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/contract.sh"
fail() { echo "FAIL: $*"; exit 1; }
# at_end FUNCTION: runs FUNCTION when the test ends, however it ends.
at_end() {
  # shellcheck disable=SC2064 # the function's name, set now on purpose
  trap "$1" EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
}
# stop PID...: kills those of this test's own background processes that still run (TERM, after 5 s
# KILL), and reaps them; a number already reaped may be another's process by now, and is left alone.
stop() {
  local p
  for p in "$@"; do
    if [ -z "$p" ] || [ "$(ps -o ppid= -p "$p" 2>/dev/null | tr -d ' ')" != "$BASHPID" ]; then continue; fi
    kill "$p" 2>/dev/null
    poll 50 ended "$p" || kill -KILL "$p" 2>/dev/null
    wait "$p" 2>/dev/null
  done
  return 0
}
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
# start TITLE WHAT PROGRAM ARGS...: starts the Windows program in the background (its id in pid) and
# waits for a visible window of that title, else fails.
start() {
  local title=$1 what=$2
  shift 2
  wine "$@" </dev/null >/dev/null 2>&1 &
  pid=$!
  poll 300 shown "$title" || { kill "$pid"; fail "$what: no window $title"; }
}
escape() { xdotool windowfocus --sync "$(canvas)" key Escape; }
# escape_ends WHAT TENTHS: Escape in the renderer ends the program started last
# (pid) with status 0 within the time, and the renderer's window goes.
escape_ends() {
  escape
  ends_cleanly "$1" "$pid" "$2"
  poll 100 no_canvas || fail "$1: the renderer window stays"
}
# settings_file FILE MODE SOUND_FILE
settings_file() {
  printf "[$(contract IniSection)]\r\n$(contract KeyMode)=%s\r\n$(contract KeyFile)=%s\r\n" "$2" "$3" >"$1"
}
appdata() { wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r'; }
shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
canvas() { xdotool search --name "^$(contract RendererTitle)\$" 2>/dev/null | head -n 1; }
no_canvas() { [ -z "$(canvas)" ]; }
streams() { pactl list short sink-inputs 2>/dev/null | grep -c .; }
playing() { [ "$(streams)" -gt 0 ]; }
silent() { [ "$(streams)" -eq 0 ]; }
