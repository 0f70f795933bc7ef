# shellcheck shell=bash
# The headless run of scripts/run, the same for the Windows programs under
# Wine and for the X11 hack: the program started on the current (virtual)
# display, its window awaited by title, three screenshots, Escape pressed, its
# end awaited. What is particular to one program (what it may leave behind)
# the caller checks afterwards. Source it.
#   smoke_run [--window-shots] NAME TITLE SHOTS COMMAND...
#       NAME    what the messages call the program ("the shell", "the hack")
#       TITLE   the window's title, a regular expression (xdotool search --name)
#       SHOTS   where the screenshots go: SHOTS-1.png, SHOTS-2.png, SHOTS-3.png,
#               1.5 s apart; each of the whole screen, or with --window-shots
#               of the window alone in 256 colours
#     Runs COMMAND in the background and returns 0 once it has ended after
#     Escape, with
#       smoke_status      its exit status
#       smoke_pid         its process id
#       smoke_window_pid  the process that owned the window (empty where X
#                         does not know it)
#     Returns 1, having said why, when the program ended before its window
#     appeared or before Escape, no window appeared within 10 s, a
#     screenshot failed, or the program still ran 10 s after Escape (it is
#     killed then).
#   smoke_stop   kills the program if it still runs: for the caller's
#                clean-up trap, so that no way out leaves it behind.
smoke_pid=
smoke_status=
smoke_window_pid=

smoke_stop() {
  if [ -n "$smoke_pid" ] && [ -z "$smoke_status" ]; then
    kill "$smoke_pid" 2>/dev/null
    wait "$smoke_pid" 2>/dev/null
    smoke_status=killed
  fi
}

smoke_run() {
  local window_shots='' name title shots window='' n shot
  local - # pipefail here only: a screenshot fails when xwd does
  set -o pipefail
  if [ "${1:-}" = --window-shots ]; then
    window_shots=1
    shift
  fi
  name=$1 title=$2 shots=$3
  shift 3
  mkdir -p "$(dirname "$shots")"
  smoke_status=
  smoke_window_pid=
  "$@" &
  smoke_pid=$!
  for _ in $(seq 100); do
    window=$(xdotool search --name "$title" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    if ! kill -0 "$smoke_pid" 2>/dev/null; then
      wait "$smoke_pid"
      smoke_status=$?
      echo "run: $name ended with status $smoke_status before its window appeared" >&2
      return 1
    fi
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "run: no window titled $title appeared within 10 s" >&2
    smoke_stop
    return 1
  fi
  for n in 1 2 3; do
    sleep 1.5
    shot=$shots-$n.png
    if [ -n "$window_shots" ]; then
      xwd -id "$window" -silent | /usr/bin/convert xwd:- "PNG8:$shot"
    else
      xwd -root -silent | /usr/bin/convert xwd:- "$shot"
    fi || {
      echo "run: the screenshot $shot could not be taken" >&2
      smoke_stop
      return 1
    }
    echo "run: $shot"
  done
  if ! kill -0 "$smoke_pid" 2>/dev/null; then
    wait "$smoke_pid"
    smoke_status=$?
    echo "run: $name ended with status $smoke_status before Escape" >&2
    return 1
  fi
  # shellcheck disable=SC2034 # read by the caller
  smoke_window_pid=$(xdotool getwindowpid "$window" 2>/dev/null)
  # A real key press, to the window with the input focus: the program sees it
  # as a person's.
  timeout 10 xdotool windowfocus --sync "$window" key Escape
  for _ in $(seq 100); do
    if ! kill -0 "$smoke_pid" 2>/dev/null; then
      wait "$smoke_pid"
      smoke_status=$?
      return 0
    fi
    sleep 0.1
  done
  echo "run: $name still runs 10 s after Escape" >&2
  smoke_stop
  return 1
}
