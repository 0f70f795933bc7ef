#!/usr/bin/env bash
# Every kind of music (WAV, MP3, an audio CD without a drive, none) to every end of a run (Escape, a
# close request to the run form, the renderer killed): the sound plays (a WAV and an MP3 loop) and
# stops with the run, and the shell ends with status 0 (a fault at exit shows here); so too with the
# sound server gone during a WAV loop. Needs scripts/lib/wine-session.
#   sound_e2e.sh VORRASIN_SCR VORRASIN_DLL PROBE_EXE (answers "--probe close")
set -u
. "$(dirname "$0")/../../support/e2e.sh"
pactl info >/dev/null 2>&1 || fail "no sound server (run under scripts/lib/wine-session)"

dir=$(mktemp -d "/tmp/vorrasin sound.XXXXXX")
pid=
server=
# shellcheck disable=SC2317 # run by at_end
end() {
  stop "$pid" "$server"
  rm -rf "$dir"
}
at_end end
shell="$dir/$(contract ShellFile)"
cp "$1" "$shell" || fail "copy"
cp "$2" "$dir/$(contract RendererFile)" || fail "copy"
sox -n -r 44100 -c 2 -b 16 "$dir/tone.wav" synth 3 sine 440 || fail "sox"
lame --quiet "$dir/tone.wav" "$dir/Tone.Mp3" || fail "lame"
poll 100 silent || fail "something is playing before the test"

# settings MODE [FILE]: the mode, and for mode 2 the sound file.
settings() {
  local file=$dir/${2:-}
  settings_file "$dir/$(contract IniFile)" "$1" "Z:${file//\//\\}"
}

for music in tone.wav Tone.Mp3 cd none; do
  case $music in cd) settings 1 ;; none) settings 0 ;; *) settings 2 "$music" ;; esac
  for end in escape close kill; do
    what="$music, $end"
    start "$(contract RendererTitle)" "$what" "$shell" /s
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
      escape) escape ;;
      close) wine "$3" --probe close "$(contract RunFormCaption)" </dev/null >/dev/null 2>&1 ||
        { kill "$pid"; fail "$what: no run form to close"; } ;;
      kill) kill -9 "$(xdotool getwindowpid "$(canvas)")" ;;
    esac
    ends_cleanly "$what: the shell" "$pid" 100
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
settings 2 tone.wav
start "$(contract RendererTitle)" "dead server" "$shell" /s
poll 300 playing || fail "dead server: no sound"
kill -9 "$server"
wait "$server" 2>/dev/null
server=
sleep 1
escape_ends "sound server gone: after Escape, the shell" 60
echo "sound server gone: Escape ended the run"
echo "PASS"
