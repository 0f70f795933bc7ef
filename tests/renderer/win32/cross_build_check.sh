#!/usr/bin/env bash
# The 32-bit Windows build must draw the very same frames as the native one:
# both use 80-bit extended precision for the per-frame parameters.
#   cross_build_check.sh NATIVE_ZOOMSHOT WINDOWS_ZOOMSHOT_EXE
set -u
native=$1
windows=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
for case in "0 320x240" "1000 1024x768" "2000 641x479" "6000 300x200" "123456789 1920x1080" \
            "4294967295 97x33" "987654 1x1"; do
  set -- $case
  "$native" --clock "$1" --size "$2" -o "$dir/n.raw" || { echo "native zoomshot failed"; exit 1; }
  (cd "$dir" && wine "$windows" --clock "$1" --size "$2" -o w.raw) </dev/null ||
    { echo "windows zoomshot failed"; exit 1; }
  if cmp -s "$dir/n.raw" "$dir/w.raw"; then
    echo "same frame at clock $1, $2"
  else
    echo "DIFFERENT frame at clock $1, $2"
    fail=1
  fi
  "$native" --clock "$1" --texture -o "$dir/n.raw"
  (cd "$dir" && wine "$windows" --clock "$1" --texture -o w.raw) </dev/null
  cmp -s "$dir/n.raw" "$dir/w.raw" || { echo "DIFFERENT texture at clock $1"; fail=1; }
done
exit $fail
