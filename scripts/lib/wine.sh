# shellcheck shell=bash
# Wine on a virtual display, for scripts that run the Windows programs.
# Source it; it sets WINEPREFIX (inside build/) and WINEDEBUG.
# VORRASIN_WINE_ARCH says which programs are run: x64 (the default; 64-bit
# Wine's loader, called directly) or x86 (Debian's wine, the 32-bit loader).
# Each has a prefix of its own; both prefixes are 64-bit Windows.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export VORRASIN_WINE_ARCH=${VORRASIN_WINE_ARCH:-x64}
PATH=$(tr ':' '\n' <<<"$PATH" | grep -vx "$root/scripts/lib/wine64" | paste -sd:)
case $VORRASIN_WINE_ARCH in
  x64) PATH="$root/scripts/lib/wine64:$PATH" ;;
  x86) ;;
  *) echo "wine.sh: VORRASIN_WINE_ARCH must be x64 or x86" >&2; return 2 ;;
esac
export WINEPREFIX="$root/build/wineprefix-$VORRASIN_WINE_ARCH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# No session bus, the machine's or a new one: where dbus-x11 is installed,
# Wine and the sound server would otherwise start one for the virtual display,
# which outlives the tests, and a second sound server (a test's own) finding
# the first one's name taken on it would refuse to start. An address that
# leads nowhere turns that off.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$root/build/no-session-bus"

# Whether this machine can execute 32-bit x86 programs (some kernels and
# virtual machines cannot): asked of the 32-bit Wine loader itself.
can_run_32_bit() {
  /usr/lib/wine/wine --version </dev/null >/dev/null 2>&1
}

# Makes the prefix once, and marks it ready only when every step worked (else
# says which did not, returns 1, and the next call starts again): no window
# manager means every hide or destroy of a top-level window would cost 2 s
# unless Wine manages no windows itself, and Wine's own fonts give normal
# captions and buttons.
wine_prefix_init() {
  if [ ! -f "$WINEPREFIX/.vorrasin-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # wineboot's status is not enough: what counts is a prefix with its
    # registry and system folder.
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
      echo "wine.sh: wineboot could not make the prefix $WINEPREFIX" >&2
      return 1
    fi
    if ! wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
      ! wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveActive /d 1 /f </dev/null >/dev/null 2>&1; then
      echo "wine.sh: the prefix's settings could not be written" >&2
      return 1
    fi
    if [ -d /usr/share/wine/fonts ]; then
      cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Japanese Windows has MS (P)Gothic; here the IPA fonts stand in for it.
    wine regedit /S "$(winepath -w "$root/scripts/lib/japanese-fonts.reg")" </dev/null >/dev/null 2>&1 || {
      echo "wine.sh: the Japanese font substitutes could not be registered" >&2
      return 1
    }
    wineserver -w
    touch "$WINEPREFIX/.vorrasin-ready"
  fi
}

# Starts the Wine server and services outside the caller's pipes, so that
# ctest does not wait on inherited handles.
wine_start() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}

# A sound server with a null sink, so that Wine has a wave device and the
# MPEG player can open files. Its socket lives under build/, apart from any
# other user's.
sound_start() {
  command -v pulseaudio >/dev/null 2>&1 || return 0
  export XDG_RUNTIME_DIR="$root/build/xdg"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  if ! pactl info >/dev/null 2>&1; then
    printf '%s\n' 'load-module module-null-sink sink_name=nullsink' \
      'load-module module-native-protocol-unix' 'set-default-sink nullsink' >"$XDG_RUNTIME_DIR/null.pa"
    pulseaudio -n -F "$XDG_RUNTIME_DIR/null.pa" --daemonize=no --exit-idle-time=-1 \
      </dev/null >"$XDG_RUNTIME_DIR/pulseaudio.log" 2>&1 &
    SOUND_PID=$!
  fi
  for _ in $(seq 200); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "wine.sh: the sound server did not start" >&2
}

sound_stop() {
  if [ -n "${SOUND_PID:-}" ]; then
    kill "$SOUND_PID" 2>/dev/null
    wait "$SOUND_PID" 2>/dev/null
    SOUND_PID=
  fi
}
