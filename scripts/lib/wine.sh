# Wine on a virtual display, for scripts that run the Windows programs.
# Source it; it sets WINEPREFIX (inside build/) and WINEDEBUG.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix once: no window manager means every hide or destroy of a
# top-level window would cost 2 s unless Wine manages no windows itself, and
# Wine's own fonts give normal captions and buttons.
wine_prefix_init() {
  if [ ! -f "$WINEPREFIX/.vorrasin-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveActive /d 1 /f </dev/null >/dev/null 2>&1
    if [ -d /usr/share/wine/fonts ]; then
      cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Japanese Windows has MS (P)Gothic; here the IPA fonts stand in for it.
    wine regedit /S "$(winepath -w "$root/scripts/lib/japanese-fonts.reg")" </dev/null >/dev/null 2>&1
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
