#!/usr/bin/env bash
# Both programs in System32 of a 64-bit prefix (none in SysWOW64), started by that path: /c opens
# the dialog, /s plays what the settings say and ends with status 0 on Escape. x86: the 32-bit shell
# reaches its files through Sysnative. x64: the settings come from the file beside the shell while
# it can be written, else from the user's own (%APPDATA%\Vorrasin\Vorrasin.ini).
#   system32_e2e.sh x86|x64 VORRASIN_SCR VORRASIN_DLL
set -u
arch=$1
shift
. "$(dirname "$0")/../../support/e2e.sh"

windows="$WINEPREFIX/drive_c/windows"
[ -d "$windows/syswow64" ] || fail "not a 64-bit prefix"
appdata=$(appdata)
user_folder=$(winepath -u "$appdata\\$(contract UserSettingsFolder)" 2>/dev/null)
{ [ -n "$appdata" ] && [ -n "$user_folder" ]; } || fail "no application data folder"
names=("$(contract ShellFile)" "$(contract RendererFile)" "$(contract IniFile)" system32.wav)
for n in "${names[@]}"; do [ ! -e "$windows/syswow64/$n" ] || fail "$n in syswow64"; done
[ ! -e "$user_folder" ] || fail "$user_folder is there before the test"
pid=
# shellcheck disable=SC2317 # run by at_end
end() {
  stop "$pid"
  for n in "${names[@]}"; do rm -rf "$windows/system32/$n"; done
  rm -rf "$user_folder"
}
at_end end
cp "$1" "$windows/system32/$(contract ShellFile)" || fail "copy"
cp "$2" "$windows/system32/$(contract RendererFile)" || fail "copy"
sox -n -r 44100 -c 2 -b 16 "$windows/system32/system32.wav" synth 3 sine 440 || fail "sox"
scr="C:\\windows\\system32\\$(contract ShellFile)"
# ini FILE MODE: a settings file for mode MODE, the sound file above (as a 32-bit program reaches
# it).
wav='C:\windows\system32\system32.wav'
[ "$arch" = x64 ] || wav='C:\windows\sysnative\system32.wav'
ini() { settings_file "$1" "$2" "$wav"; }

start "$(contract DialogCaption)" /c "$scr" /c
# Ended without a key: a key press that closes a window leaves Wine's key state pressed, and the
# next run's renderer would take it for Escape. (The dialog's own ends are checked with the dialog.)
kill "$pid"
poll 100 ended "$pid" || fail "/c: still running"

# run WHAT: /s plays, Escape ends the shell with status 0 and the sound.
run() {
  poll 100 silent || fail "$1: something plays before the run"
  start "$(contract RendererTitle)" "$1" "$scr" /s
  poll 100 playing || { kill "$pid"; fail "$1: the settings' sound file does not play"; }
  escape_ends "$1: after Escape, the shell" 200
  poll 100 silent || fail "$1: sound left playing after the run"
  echo "$1: played and ended with status 0"
}

if [ "$arch" = x86 ]; then
  ini "$windows/system32/$(contract IniFile)" 2
  run "through Sysnative"
  echo "PASS"
  exit 0
fi
# A user who may write beside the shell: that file, whatever their own says.
mkdir -p "$user_folder"
ini "$user_folder/$(contract IniFile)" 0
ini "$windows/system32/$(contract IniFile)" 2
run "the file beside the shell"
# One who may not (a folder stands in the way, as Wine run by root writes read-only files): the
# user's own.
rm "$windows/system32/$(contract IniFile)"
mkdir "$windows/system32/$(contract IniFile)"
ini "$user_folder/$(contract IniFile)" 2
run "the user's own file"
echo "PASS"
