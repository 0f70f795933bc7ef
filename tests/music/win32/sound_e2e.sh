#!/usr/bin/env bash
# Every kind of music (WAV, MP3, an audio CD without a drive, none) to every
# end of a run (Escape, a close request to the run form, the renderer killed):
# the sound plays (a WAV and an MP3 loop) and stops with the run, and the
# shell ends with status 0 (a fault at exit shows here); so too with the
# sound server gone during a WAV loop. Needs scripts/lib/wine-session.
#   sound_e2e.sh VORRASIN_SCR VORRASIN_DLL PROBE_EXE (answers "--probe close")
set -u
. "$(dirname "$0")/../../support/e2e.sh"
pactl info >/dev/null 2>&1 || fail "no sound server (run under scripts/lib/wine-session)"

dir=$(mktemp -d "/tmp/vorrasin sound.XXXXXX")
trap 'rm -rf "$dir"' EXIT
shell="$dir/$(contract ShellFile)"
cp "$1" "$shell" && cp "$2" "$dir/$(contract RendererFile)" || fail "copy"
sox -n -r 44100 -c 2 -b 16 "$dir/tone.wav" synth 3 sine 440 || fail "sox"
lame --quiet "$dir/tone.wav" "$dir/Tone.Mp3" || fail "lame"
poll 100 silent || fail "something is playing before the test"

# The settings: mode 2 (sound file) and the file, or only a mode.
set_file() {
  printf "[$(contract IniSection)]\r\n$(contract KeyMode)=2\r\n$(contract KeyFile)=%s\r\n" \
    "Z:$(printf '%s' "$dir/$1" | tr / '\\')" >"$dir/$(contract IniFile)"
}
set_mode() {
  printf "[$(contract IniSection)]\r\n$(contract KeyMode)=%s\r\n" "$1" >"$dir/$(contract IniFile)"
}
# Waits up to $2 tenths of a second for process $1 to end; kills it if not.
ends() { poll "$2" ended "$1" || { kill "$1"; return 1; }; }

for music in tone.wav Tone.Mp3 cd none; do
  case $music in
    cd) set_mode 1 ;;
    none) set_mode 0 ;;
    *) set_file "$music" ;;
  esac
  for end in escape close kill; do
    what="$music, $end"
    wine "$shell" /s </dev/null >/dev/null 2>&1 &
    pid=$!
    poll 300 has_canvas || { kill "$pid"; fail "$what: no renderer window"; }
    case $music in
      cd | none) sleep 1; silent || { kill "$pid"; fail "$what: a sound plays"; } ;;
      *)
        poll 300 playing || { kill "$pid"; fail "$what: no sound while the renderer runs"; }
        if [ "$end" = escape ]; then
          # Still playing after the file's own end (3 s): it loops.
          sleep 4
          poll 50 playing || { kill "$pid"; fail "$what: the sound did not loop"; }
        fi ;;
    esac
    case $end in
      escape) xdotool windowfocus --sync "$(canvas)" key Escape ;;
      close) wine "$3" --probe close "$(contract RunFormCaption)" </dev/null >/dev/null 2>&1 ||
        { kill "$pid"; fail "$what: no run form to close"; } ;;
      kill) kill -9 "$(xdotool getwindowpid "$(canvas)")" ;;
    esac
    ends "$pid" 100 || fail "$what: the shell still runs 10 s after the end"
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "$what: the shell ended with status $rc"
    poll 100 no_canvas || fail "$what: the renderer window stayed"
    poll 100 silent || fail "$what: sound left playing after the run"
    echo "$what: ended with status 0, nothing left playing"
  done
done

# A sound server of its own, killed while the WAV loops.
export XDG_RUNTIME_DIR="$dir/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '%s\n' 'load-module module-null-sink sink_name=nullsink' \
  'load-module module-native-protocol-unix' >"$XDG_RUNTIME_DIR/null.pa"
pulseaudio -n -F "$XDG_RUNTIME_DIR/null.pa" --daemonize=no --exit-idle-time=-1 \
  </dev/null >/dev/null 2>&1 &
server=$!
poll 100 pactl info >/dev/null || fail "no sound server of its own"
set_file tone.wav
wine "$shell" /s </dev/null >/dev/null 2>&1 &
pid=$!
poll 300 has_canvas && poll 300 playing || { kill "$pid" "$server"; fail "dead server: no run"; }
kill -9 "$server"
wait "$server" 2>/dev/null
sleep 1
xdotool windowfocus --sync "$(canvas)" key Escape
ends "$pid" 60 || fail "the shell still runs 6 s after Escape with the sound server gone"
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || fail "sound server gone: the shell ended with status $rc"
echo "sound server gone: Escape ended the run"
echo "PASS"
