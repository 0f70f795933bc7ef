#!/usr/bin/env bash
# The Windows build (32- or 64-bit) must draw the very same frames and textures as the
# native one: all use 80-bit extended precision for the per-frame parameters.
#   cross_build_check.sh NATIVE_ZOOMSHOT WINDOWS_ZOOMSHOT_EXE
set -u
native=$1 windows=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
same() { # what, zoomshot arguments...
  local what=$1; shift
  { "$native" "$@" -o "$dir/n.raw" && (cd "$dir" && wine "$windows" "$@" -o w.raw) </dev/null; } ||
    { echo "zoomshot failed: $*"; exit 1; }
  if cmp -s "$dir/n.raw" "$dir/w.raw"; then
    echo "same $what: $*"
  else
    echo "DIFFERENT $what: $*"
    fail=1
  fi
}
for case in "0 320x240" "1000 1024x768" "2000 641x479" "6000 300x200" "123456789 1920x1080" \
            "4294967295 97x33" "987654 1x1"; do
  read -r clock size <<<"$case"
  same frame --clock "$clock" --size "$size"
  same texture --clock "$clock" --texture
done
exit $fail
