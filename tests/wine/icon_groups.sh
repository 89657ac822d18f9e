#!/usr/bin/env bash
# Checks the icon groups of a Windows program, read from the exe with objdump:
#   icon_groups.sh OBJDUMP EXE FIRST [OTHER...]
# The program must hold every group named, and FIRST must be its first one: the shell
# shows the first icon group as the program's own icon.
set -euo pipefail
objdump=$1 exe=$2
shift 2

# In objdump's resource tree the depth of an entry shows in its indent: three spaces
# after the offset for a resource type, five for a name below it. Type 14 is RT_GROUP_ICON.
groups=$("$objdump" -p "$exe" | awk '
  /^The .rsrc Resource Directory section/ { inside = 1; next }
  inside && /Entry: ID:/ {
    match($0, /^[0-9a-f]+ +/)
    depth = RLENGTH - length($1)
    id = $4
    sub(/,$/, "", id)
    if (depth == 3) type = id
    else if (depth == 5 && type == "0x00000e") print id
  }')
found=()
for id in $groups; do found+=("$((id))"); done
echo "icon groups of $(basename "$exe"): ${found[*]:-none}"

[ "${found[0]:-}" = "$1" ] || { echo "the first icon group is not $1" >&2; exit 1; }
for want in "$@"; do
  printf '%s\n' "${found[@]}" | grep -qx "$want" || { echo "no icon group $want" >&2; exit 1; }
done
