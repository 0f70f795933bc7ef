#!/usr/bin/env bash
# scripts/package's Debian package of the X11 hack: SHA256SUMS verifies it;
# it holds exactly the hack, its settings description, its desktop entry,
# manual page, copyright and changelog at their Debian paths; its
# dependencies were computed; lintian finds no error and no warning; the
# desktop entry is what MATE's screen-saver menu lists and runs. As root, and
# where no vorrasin package is installed, it is installed with dpkg -i, the
# installed hack answers --help, and dpkg -r leaves none of its files.
#   deb_check.sh SCRIPTS_PACKAGE NATIVE_BUILD_DIR
set -u
package=$1 build=$2
. "$(dirname "$0")/../support/e2e.sh"
dir=$(mktemp -d)
installed=
# shellcheck disable=SC2317 # run by at_end
end() {
  [ -z "$installed" ] || dpkg -r vorrasin >/dev/null 2>&1
  rm -rf "$dir"
}
at_end end
files="./usr/libexec/xscreensaver/vorrasin ./usr/share/applications/screensavers/vorrasin.desktop
./usr/share/doc/vorrasin/changelog.gz ./usr/share/doc/vorrasin/copyright
./usr/share/man/man6/vorrasin.6x.gz ./usr/share/xscreensaver/config/vorrasin.xml"

"$package" --no-build --deb "$build" --out "$dir/dist" >/dev/null || fail "scripts/package"
deb=$(ls "$dir"/dist/vorrasin_*_"$(dpkg --print-architecture)".deb) || fail "no package"
(cd "$dir/dist" && sha256sum -c --strict SHA256SUMS) || fail "SHA256SUMS"
contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort | xargs)
[ "$contents" = "$(xargs <<<"$files")" ] || fail "the package holds: $contents"
depends=$(dpkg-deb -f "$deb" Depends)
{ grep -q 'libx11-6' <<<"$depends" && grep -q 'libc6 (>= ' <<<"$depends"; } || fail "Depends: $depends"
lintian --fail-on error,warning -I "$deb" 2>/dev/null || fail "lintian"
echo "lintian: no error, no warning"

dpkg-deb -x "$deb" "$dir/root"
entry=$dir/root/usr/share/applications/screensavers/vorrasin.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
# As MATE's menu reads it: listed (no NoDisplay), a screen saver, run from the hack folder.
[ "$(grep -E '^(NoDisplay|Categories|OnlyShowIn|Exec|TryExec)=' "$entry" | sort | xargs)" = \
  "Categories=Screensaver; Exec=/usr/libexec/xscreensaver/vorrasin --root OnlyShowIn=MATE;XFCE; TryExec=/usr/libexec/xscreensaver/vorrasin" ] ||
  fail "the desktop entry: $(grep -E '^(NoDisplay|Categories|OnlyShowIn|Exec|TryExec)=' "$entry" | xargs)"
[ "$(zcat "$dir/root/usr/share/man/man6/vorrasin.6x.gz" | head -n 1 | cut -d ' ' -f 1-3)" = ".TH VORRASIN 6x" ] ||
  fail "manual page"

if [ "$(id -u)" -ne 0 ] || dpkg-query -W -f='${Status}' vorrasin 2>/dev/null | grep -q ' installed$'; then
  echo "dpkg -i and -r not tried: not root, or a vorrasin package is installed already"
  exit 0
fi
installed=1
dpkg -i "$deb" >/dev/null || fail "dpkg -i"
/usr/libexec/xscreensaver/vorrasin --help | grep -q '^usage: ' || fail "the installed hack's --help"
dpkg -r vorrasin >/dev/null || fail "dpkg -r"
installed=
for f in $files; do [ ! -e "${f#.}" ] || fail "${f#.} left after dpkg -r"; done
echo "PASS: installed with dpkg -i, removed with dpkg -r, nothing left"
