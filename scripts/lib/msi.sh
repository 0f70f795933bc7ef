# shellcheck shell=bash
# Windows Installer packages of the screen saver, built with wixl (msitools)
# from packaging/windows/vorrasin.wxs. Source it.
#   msi_product_code ARCH VERSION
#       the product code of that version's package: derived from both (a
#       name-based UUID), so that the same version built again is the same
#       product (a second install is "already installed", never a second
#       entry) and every new version a new one, as a major upgrade needs
#   msi_build ARCH VERSION BIN_DIR ICON OUT
#       writes OUT, the package of BIN_DIR's Vorrasin.scr and Vorrasin.dll for
#       ARCH (x64 or x86), named as version VERSION (x.y.z)
#   msi_property MSI NAME   prints a property of a built package
msi_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$msi_root/scripts/lib/contract.sh"

# Fixed for ever: the namespace of the product codes.
msi_code_namespace=4A0F6B3C-2B8E-4D5A-9F1E-6C7D8E9FA0B1

msi_product_code() {
  python3 -c 'import sys, uuid
print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), "Vorrasin/" + sys.argv[2] + "/" + sys.argv[3])).upper())' \
    "$msi_code_namespace" "$1" "$2"
}

# The file version in a program's version resource (VS_FIXEDFILEINFO).
msi_file_version() {
  python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0: sys.exit("no version resource in " + sys.argv[1])
ms, ls = struct.unpack_from("<II", data, at + 8)
print("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))' "$1"
}

msi_property() {
  msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' -v name="$2" '$1 == name { print $2 }'
}

msi_build() {
  local arch=$1 version=$2 bin=$3 icon=$4 out
  out=$(realpath -m "$5")
  case $arch in x64 | x86) ;; *) echo "msi_build: no processor $arch" >&2; return 2 ;; esac
  [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "msi_build: version $version is not x.y.z" >&2; return 2; }
  local stage
  stage=$(mktemp -d) || return 1
  (
    set -e
    shell_file=$(contract ShellFile)
    renderer_file=$(contract RendererFile)
    # wixl takes its sources by relative names only.
    cp "$bin/$shell_file" "$bin/$renderer_file" "$stage/"
    cp "$icon" "$stage/Vorrasin.ico"
    cd "$stage"
    size=$(du -ck "$shell_file" "$renderer_file" | tail -n 1 | cut -f 1)
    wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$(msi_product_code "$arch" "$version")" \
      -D Bin=. -D Icon=Vorrasin.ico -D SizeKb="$size" -o package.msi "$msi_root/packaging/windows/vorrasin.wxs"
    # wixl leaves the File table's versions empty; Windows Installer compares
    # them when it repairs (a versioned file replaces a damaged, unversioned
    # one), so each gets the version its program carries.
    for f in "$shell_file" "$renderer_file"; do
      msibuild package.msi -q "UPDATE \`File\` SET \`Version\` = '$(msi_file_version "$f")' WHERE \`FileName\` = '$f'"
    done
    mv package.msi "$out"
  )
  local rc=$?
  rm -rf "$stage"
  return $rc
}
