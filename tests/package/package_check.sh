#!/usr/bin/env bash
# scripts/package's downloads for one processor: the zip holds the two
# programs and README.txt (UTF-8 with BOM, CRLF, naming this download),
# SHA256SUMS verifies it and the installer, the winget manifests match the
# installer (winget_check.py), and the programs unpacked from the zip pass
# shipped_files_e2e (run beside them), a run to Escape included.
#   package_check.sh SCRIPTS_PACKAGE x64|x86 BUILD_DIR SHIPPED_FILES_E2E_EXE
set -u
package=$1 arch=$2 build=$3 e2e=$4
. "$(dirname "$0")/../support/e2e.sh"
files="README.txt $(contract RendererFile) $(contract ShellFile)"
dir=$(mktemp -d "/tmp/vorrasin package.XXXXXX")
# shellcheck disable=SC2317 # run by at_end
end() { rm -rf "$dir"; }
at_end end

"$package" --no-build "--$arch" "$build" --out "$dir/dist" || fail "scripts/package"
zip=$(cd "$dir/dist" && ls Vorrasin-*-windows-"$arch".zip) || fail "no zip"
msi=${zip%-windows-"$arch".zip}-$arch.msi
[ "$(cut -d ' ' -f 3 "$dir/dist/SHA256SUMS" | sort | xargs)" = "$(printf '%s\n' "$zip" "$msi" | sort | xargs)" ] ||
  fail "SHA256SUMS lists: $(cut -d ' ' -f 3 "$dir/dist/SHA256SUMS" | xargs)"
(cd "$dir/dist" && sha256sum -c --strict SHA256SUMS) || fail "SHA256SUMS does not verify"
[ "$(unzip -Z1 "$dir/dist/$zip" | sort | xargs)" = "$files" ] ||
  fail "zip holds: $(unzip -Z1 "$dir/dist/$zip")"
unzip -q "$dir/dist/$zip" -d "$dir/Saver" || fail "unzip"
[ "$(head -c 3 "$dir/Saver/README.txt" | od -An -tx1)" = " ef bb bf" ] || fail "README.txt: no BOM"
[ "$(grep -c $'\r$' "$dir/Saver/README.txt")" = "$(wc -l <"$dir/Saver/README.txt")" ] ||
  fail "README.txt: a line without CRLF"
grep -q "windows-$arch\.zip" "$dir/Saver/README.txt" || fail "README.txt does not name its download"

"$(dirname "$0")/winget_check.py" "$dir/dist" || fail "winget manifests"

cp "$e2e" "$dir/Saver/" || fail "copy"
wine "$dir/Saver/$(basename "$e2e")" </dev/null || fail "shipped_files_e2e"
echo "PASS"
