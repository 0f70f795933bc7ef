#!/usr/bin/env bash
# The installer of one processor as an administrator uses it, in fresh prefixes of its own:
# scripts/package's MSI installs silently into the system folder (System32 of 64-bit Windows for
# x64, SysWOW64 for x86, and for x86 also System32 of 32-bit Windows) with its entry under
# Uninstall; the installed saver runs /s and /c; a higher version replaces it in place and keeps the
# settings; the lower one is refused (1603) and changes nothing; a repair restores a deleted and a
# damaged program byte for byte; the removal leaves no program and no entry, and keeps the settings
# files and every file of another program.
#   msi_e2e.sh x64|x86 BUILD_DIR PROBE_EXE (answers "--probe close")
set -u
arch=$1 build=$2 probe=$3
. "$(dirname "$0")/../../support/e2e.sh"
. "$(dirname "$0")/../../../scripts/lib/wine.sh"
. "$(dirname "$0")/../../../scripts/lib/msi.sh"
shell_file=$(contract ShellFile) renderer_file=$(contract RendererFile) ini_file=$(contract IniFile)
work=$(mktemp -d /tmp/vorrasin-msi.XXXXXX)
pid=
# shellcheck disable=SC2317 # run by at_end
end() {
  stop "$pid"
  local p
  for p in wow64 win32; do
    [ ! -d "$work/$p" ] || WINEPREFIX=$work/$p wineserver -k 2>/dev/null
  done
  rm -rf "$work"
}
at_end end

"$msi_root/scripts/package" --no-build "--$arch" "$build" --out "$work/dist" >/dev/null || fail "scripts/package"
current=$(ls "$work"/dist/*.msi) || fail "no installer"
version=$(msi_property "$current" ProductVersion) code=$(msi_property "$current" ProductCode)
higher_version=${version%.*}.$((${version##*.} + 1))
higher=$work/Vorrasin-$higher_version-$arch.msi
msi_build "$arch" "$higher_version" "$build/bin" "$build/art/vorrasin.ico" "$higher" || fail "msi_build"
higher_code=$(msi_property "$higher" ProductCode)

# installer_gives WHAT CODE ARGS...: msiexec ARGS /qn ends with Windows Installer's exit code CODE,
# whole (a shell sees only its low byte).
installer_gives() {
  local got
  got=$(wine cmd /c "start /wait msiexec ${*:3} /qn & echo %ERRORLEVEL%" </dev/null 2>/dev/null | tr -d '\r' | tail -n 1)
  [ "$got" = "$2" ] || fail "$1: msiexec ${*:3} gave ${got:-nothing}, not $2"
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# entries: "code version" of each Uninstall entry named Vorrasin.
entries() {
  wine reg query "$uninstall_key" /s "/reg:$view" </dev/null 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { n = split($0, p, "\\"); key = p[n]; name = ""; next }
      $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" && name == "Vorrasin" { print key, $3 }'
}
value() { # CODE NAME: one value of an Uninstall entry
  wine reg query "$uninstall_key\\$1" /v "$2" "/reg:$view" </dev/null 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
installed_as() { # WHAT "CODE VERSION": that one entry, and the built programs in the folder
  [ "$(entries)" = "$2" ] || fail "$1: entries $(entries)"
  { cmp -s "$installed/$shell_file" "$build/bin/$shell_file" &&
    cmp -s "$installed/$renderer_file" "$build/bin/$renderer_file"; } || fail "$1: not the built programs in $installed"
}
settings_kept() { # WHAT
  { cmp -s "$installed/$ini_file" "$work/settings" && cmp -s "$own/$ini_file" "$work/settings"; } ||
    fail "$1 changed the settings"
}
fresh() { # NAME WINEARCH FOLDER VIEW: a new prefix of that kind, made as the suite's are
  export WINEPREFIX=$work/$1 WINEARCH=$2
  wine_prefix_init || fail "the prefix $1 could not be made"
  windows=$WINEPREFIX/drive_c/windows installed=$WINEPREFIX/drive_c/windows/$3 view=$4
}

# In 64-bit Windows.
if [ "$arch" = x64 ]; then fresh wow64 win64 system32 64; other=syswow64; else fresh wow64 win64 syswow64 32; other=system32; fi
echo "another program's" >"$installed/neighbour.dll"
installer_gives "silent install" 0 /i "$(winepath -w "$current")"
installed_as "install" "$code $version"
{ [ ! -e "$windows/$other/$shell_file" ] && [ ! -e "$windows/$other/$renderer_file" ]; } || fail "programs in $other"
[ "$(value "$code" Publisher)/$(value "$code" NoModify)" = k-dorran/0x1 ] || fail "publisher or Modify"
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s </dev/null 2>/dev/null | tr -d '\r' |
  awk '$1 == "ProductIcon" { print $3 }' | grep -F "$code")
{ [ -n "$icon" ] && [ -s "$(winepath -u "$icon")" ]; } || fail "no product icon for Installed apps"

scr="C:\\windows\\${installed##*/}\\$shell_file"
start "$(contract RendererTitle)" /s "$scr" /s
escape_ends "/s of the installed saver" 200
start "$(contract DialogCaption)" /c "$scr" /c
wine "$probe" --probe close "$(contract DialogCaption)" </dev/null >/dev/null 2>&1 || fail "/c: no close"
ends_cleanly "/c of the installed saver" "$pid" 200
echo "installed $version into ${installed##*/}; the saver ran /s and /c and ended with status 0"

# Settings beside the programs and of the user's own.
printf '[%s]\r\n%s=0\r\n' "$(contract IniSection)" "$(contract KeyMode)" >"$work/settings"
own=$(winepath -u "$(appdata)\\$(contract UserSettingsFolder)")
mkdir -p "$own" && cp "$work/settings" "$own/$ini_file" && cp "$work/settings" "$installed/$ini_file"
installer_gives "upgrade" 0 /i "$(winepath -w "$higher")"
installed_as "upgrade" "$higher_code $higher_version"
settings_kept "the upgrade"
installer_gives "the lower version" 1603 /i "$(winepath -w "$current")"
installed_as "refusal" "$higher_code $higher_version"
rm "$installed/$renderer_file"
echo damaged >"$installed/$shell_file"
installer_gives "repair" 0 /i "$(winepath -w "$higher")" REINSTALL=ALL REINSTALLMODE=omus
installed_as "repair" "$higher_code $higher_version"
installer_gives "silent removal" 0 /x "$higher_code"
{ [ ! -e "$installed/$shell_file" ] && [ ! -e "$installed/$renderer_file" ]; } || fail "programs left after removal"
[ -z "$(entries)" ] || fail "entries after removal: $(entries)"
{ [ -f "$installed/neighbour.dll" ] && [ -f "$installed/notepad.exe" ]; } || fail "the removal took another file"
settings_kept "the removal"
echo "upgraded to $higher_version, $version refused with 1603, repaired, removed; settings kept"
wineserver -k 2>/dev/null

if [ "$arch" = x86 ]; then
  fresh win32 win32 system32 32
  [ ! -d "$windows/syswow64" ] || fail "not a 32-bit prefix"
  installer_gives "install in 32-bit Windows" 0 /i "$(winepath -w "$current")"
  installed_as "32-bit Windows" "$code $version"
  installer_gives "removal in 32-bit Windows" 0 /x "$code"
  { [ ! -e "$installed/$shell_file" ] && [ -z "$(entries)" ]; } || fail "32-bit Windows: left after removal"
  echo "32-bit Windows: installed into System32 and removed"
  wineserver -k 2>/dev/null
fi
echo "PASS"
