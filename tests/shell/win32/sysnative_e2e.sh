#!/usr/bin/env bash
# Both programs and the settings file in the native System32 of a 64-bit
# prefix, the shell started by that path as the 64-bit Screen Saver Settings
# would: /c opens the dialog, /s runs and plays the sound file the settings
# name. (A 32-bit program's look-ups in System32 land in SysWOW64.)
#   sysnative_e2e.sh VORRASIN_SCR VORRASIN_DLL
set -u
. "$(dirname "$0")/../../../scripts/lib/contract.sh"
fail() { echo "FAIL: $*"; exit 1; }
poll() {
  local n=$1; shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
shown() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
playing() { [ "$(pactl list short sink-inputs 2>/dev/null | grep -c .)" -gt 0 ]; }

windows="$WINEPREFIX/drive_c/windows"
[ -d "$windows/syswow64" ] || fail "not a 64-bit prefix"
names=("$(contract ShellFile)" "$(contract RendererFile)" "$(contract IniFile)" sysnative.wav)
for n in "${names[@]}"; do [ ! -e "$windows/syswow64/$n" ] || fail "$n in syswow64"; done
trap 'for n in "${names[@]}"; do rm -f "$windows/system32/$n"; done' EXIT
cp "$1" "$windows/system32/$(contract ShellFile)" || fail "copy"
cp "$2" "$windows/system32/$(contract RendererFile)" || fail "copy"
sox -n -r 44100 -c 2 -b 16 "$windows/system32/sysnative.wav" synth 3 sine 440 || fail "sox"
printf "[$(contract IniSection)]\r\n$(contract KeyMode)=2\r\n$(contract KeyFile)=%s\r\n" \
  'C:\windows\sysnative\sysnative.wav' >"$windows/system32/$(contract IniFile)"
scr="C:\\windows\\system32\\$(contract ShellFile)"

wine "$scr" /c </dev/null >/dev/null 2>&1 &
pid=$!
poll 200 shown "$(contract DialogCaption)" || { kill "$pid"; fail "/c: no settings dialog"; }
# Ended without a key: a key press that closes a window leaves Wine's key
# state pressed, and the next test's renderer would take it for Escape.
kill "$pid"
poll 100 ended "$pid" || fail "/c: still running"

wine "$scr" /s </dev/null >/dev/null 2>&1 &
pid=$!
poll 300 shown "$(contract RendererTitle)" || { kill "$pid"; fail "/s: no renderer window"; }
poll 100 playing || { kill "$pid"; fail "/s: the settings' sound file does not play"; }
kill -9 "$(xdotool getwindowpid "$(xdotool search --name "^$(contract RendererTitle)\$" | head -n 1)")"
poll 100 ended "$pid" || { kill "$pid"; fail "/s: the shell outlived the run"; }
echo "PASS"
