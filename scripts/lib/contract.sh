# shellcheck shell=bash
# The names the programs, the settings file and the tests share, read from
# src/common/contract.h so that no script spells them again. Source it.
#   contract NAME    prints contract::NAME as the header writes it (C escapes
#                    such as \x8b kept: printf's format turns them into bytes)
contract_header="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src/common/contract.h"
contract() {
  local value
  value=$(sed -n "s/^inline constexpr char $1\[\] = \"\(.*\)\";$/\1/p" "$contract_header")
  [ -n "$value" ] || { echo "contract.sh: no $1 in $contract_header" >&2; return 1; }
  printf '%s' "$value"
}
