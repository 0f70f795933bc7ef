# shellcheck shell=bash
# The Debian package of the X11 hack, from a native build tree: the files
# `cmake --install --prefix /usr` puts in place (stripped), the manual page
# compressed, the copyright and changelog Debian wants, the dependencies
# worked out by dpkg-shlibdeps from the program itself. Source it.
#   deb_build BUILD_DIR VERSION STAMP OUT_DIR
#       writes OUT_DIR/vorrasin_<VERSION>_<arch>.deb and prints its name; every
#       date in it is STAMP (seconds since 1970), so the same build packs to
#       the same bytes
deb_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

deb_build() {
  local build=$1 version=$2 stamp=$3 out stage
  out=$(realpath -m "$4")
  stage=$(mktemp -d) || return 1
  (
    set -euo pipefail
    umask 022
    arch=$(dpkg --print-architecture)
    root=$stage/root
    DESTDIR=$root cmake --install "$build" --prefix /usr --strip >/dev/null
    strip --remove-section=.comment --remove-section=.note "$root/usr/libexec/xscreensaver/vorrasin"
    gzip -9n "$root/usr/share/man/man6/vorrasin.6x"
    doc=$root/usr/share/doc/vorrasin
    mkdir -p "$doc"
    cp "$deb_root/packaging/debian/copyright" "$doc/"
    printf 'vorrasin (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
      "$version" "$version" "$(sed -n 's/^Maintainer: //p' "$deb_root/packaging/debian/control.in")" \
      "$(LC_ALL=C date -u -R -d "@$stamp")" | gzip -9n >"$doc/changelog.gz"
    # dpkg-shlibdeps reads the package's name from a debian/control.
    mkdir -p "$stage/debian"
    printf 'Source: vorrasin\n\nPackage: vorrasin\nArchitecture: any\n' >"$stage/debian/control"
    depends=$(cd "$stage" && dpkg-shlibdeps -O "root/usr/libexec/xscreensaver/vorrasin" 2>/dev/null |
      sed -n 's/^shlibs:Depends=//p')
    [ -n "$depends" ] || { echo "deb_build: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
    mkdir -p "$root/DEBIAN"
    sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@DEPENDS@/$depends/" \
      -e "s/@SIZE@/$(du -sk --exclude=DEBIAN "$root" | cut -f 1)/" \
      "$deb_root/packaging/debian/control.in" >"$root/DEBIAN/control"
    (cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
    chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
    find "$root" -exec touch -h -d "@$stamp" {} +
    name=vorrasin_${version}_$arch.deb
    SOURCE_DATE_EPOCH=$stamp dpkg-deb --root-owner-group -Zxz --build "$root" "$out/$name" >/dev/null
    echo "$name"
  )
  local rc=$?
  rm -rf "$stage"
  return $rc
}
