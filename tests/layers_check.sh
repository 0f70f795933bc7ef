#!/usr/bin/env bash
# Which folder of src/ may include which (README, "Architecture"): every
# include of a product file is checked against this table, and no portable
# folder includes a system's windowing headers.
#   layers_check.sh SRC_FOLDER
set -uo pipefail
src=${1:?usage: layers_check.sh SRC_FOLDER}
declare -A may=(
  [common]="common"
  [common/win32]="common common/win32"
  [renderer]="renderer common"
  [renderer/win32]="renderer renderer/win32 common common/win32"
  [hack]="hack renderer common"
  [hack/x11]="hack hack/x11 renderer common"
  [music]="music common"
  [music/win32]="music music/win32 common common/win32"
  [shell]="shell music common"
  [shell/win32]="shell shell/win32 music music/win32 dialog dialog/win32 forms forms/win32 common common/win32"
  [forms]="forms common"
  [forms/win32]="forms forms/win32 common common/win32"
  [button]="button forms common"
  [button/win32]="button button/win32 forms forms/win32 common common/win32"
  [dialog]="dialog forms music common"
  [dialog/win32]="dialog dialog/win32 button button/win32 forms forms/win32 music common common/win32"
)
bad=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  folder=$(dirname "$rel")
  if [ -z "${may[$folder]+set}" ]; then
    echo "FAIL: $rel: the folder $folder is not in the table"
    bad=1
    continue
  fi
  while IFS= read -r included; do
    target=$(dirname "$included")
    case " ${may[$folder]} " in
      *" $target "*) ;;
      *) echo "FAIL: $rel includes $included ($folder may include: ${may[$folder]})"; bad=1 ;;
    esac
  done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$file")
  case $folder in
    */win32 | hack/x11) ;;
    *)
      if grep -nE '^#include <(windows\.h|X11/)' "$file"; then
        echo "FAIL: $rel is portable but includes a windowing system's header"
        bad=1
      fi
      ;;
  esac
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)
[ "$bad" -eq 0 ] && echo "every include follows the layers"
exit "$bad"
