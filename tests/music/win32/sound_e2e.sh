#!/usr/bin/env bash
# A run with a WAV and with an MP3 setting really plays through the sound
# server while the renderer is up, and the sound is gone once Escape has
# ended the run; so it is after the renderer was killed. With the sound
# server gone during a WAV loop, Escape still ends the shell at once. Needs
# the sound server of scripts/lib/wine-session.
#   sound_e2e.sh VORRASIN_SCR VORRASIN_DLL
set -u
. "$(dirname "$0")/../../../scripts/lib/contract.sh"
fail() { echo "FAIL: $*"; exit 1; }
pactl info >/dev/null 2>&1 || fail "no sound server (run under scripts/lib/wine-session)"
streams() { pactl list short sink-inputs 2>/dev/null | grep -c .; }
# Polls (up to $1 tenths of a second) until the command succeeds.
poll() {
  local n=$1; shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
playing() { [ "$(streams)" -gt 0 ]; }
silent() { [ "$(streams)" -eq 0 ]; }
canvas() { xdotool search --name "^$(contract RendererTitle)\$" 2>/dev/null | head -n 1; }
has_canvas() { [ -n "$(canvas)" ]; }
no_canvas() { [ -z "$(canvas)" ]; }

dir=$(mktemp -d "/tmp/vorrasin sound.XXXXXX")
trap 'rm -rf "$dir"' EXIT
shell="$dir/$(contract ShellFile)"
cp "$1" "$shell" && cp "$2" "$dir/$(contract RendererFile)" || fail "copy"
sox -n -r 44100 -c 2 -b 16 "$dir/tone.wav" synth 3 sine 440 || fail "sox"
lame --quiet "$dir/tone.wav" "$dir/Tone.Mp3" || fail "lame"
poll 100 silent || fail "something is playing before the test"

# Mode 2 (sound file) and the file, under the Shift-JIS keys.
set_file() {
  printf "[$(contract IniSection)]\r\n$(contract KeyMode)=2\r\n$(contract KeyFile)=%s\r\n" \
    "Z:$(printf '%s' "$dir/$1" | tr / '\\')" >"$dir/$(contract IniFile)"
}
# Waits up to $2 tenths of a second for process $1 to end; kills it if not.
ends() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill "$1"
  return 1
}

for file in tone.wav Tone.Mp3; do
  set_file "$file"
  wine "$shell" /s </dev/null >/dev/null 2>&1 &
  pid=$!
  poll 300 has_canvas || { kill "$pid"; fail "$file: no renderer window"; }
  poll 300 playing || { kill "$pid"; fail "$file: no sound while the renderer runs"; }
  # Still playing after the file's own end (3 s): it loops.
  sleep 4
  poll 50 playing || { kill "$pid"; fail "$file: the sound did not loop"; }
  xdotool windowfocus --sync "$(canvas)" key Escape
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "$file: the shell still runs 20 s after Escape"; }
  poll 100 no_canvas || fail "$file: the renderer window stayed"
  poll 100 silent || fail "$file: sound left playing after the run"
  echo "$file: played, looped and stopped with the run"
done
set_file tone.wav
wine "$shell" /s </dev/null >/dev/null 2>&1 &
pid=$!
poll 300 has_canvas && poll 300 playing || { kill "$pid"; fail "killed renderer: no run"; }
kill -9 "$(xdotool getwindowpid "$(canvas)")"
ends "$pid" 50 || fail "the shell outlived its killed renderer by 5 s"
poll 100 silent || fail "sound left playing after the renderer was killed"
echo "killed renderer: the shell ended and the sound stopped"

# A sound server of its own, killed while the WAV loops.
export XDG_RUNTIME_DIR="$dir/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '%s\n' 'load-module module-null-sink sink_name=nullsink' \
  'load-module module-native-protocol-unix' >"$XDG_RUNTIME_DIR/null.pa"
pulseaudio -n -F "$XDG_RUNTIME_DIR/null.pa" --daemonize=no --exit-idle-time=-1 \
  </dev/null >/dev/null 2>&1 &
server=$!
poll 100 pactl info >/dev/null || fail "no sound server of its own"
wine "$shell" /s </dev/null >/dev/null 2>&1 &
pid=$!
poll 300 has_canvas && poll 300 playing || { kill "$pid" "$server"; fail "dead server: no run"; }
kill -9 "$server"
wait "$server" 2>/dev/null
sleep 1
xdotool windowfocus --sync "$(canvas)" key Escape
ends "$pid" 60 || fail "the shell still runs 6 s after Escape with the sound server gone"
echo "sound server gone: Escape ended the run"
echo "PASS"
