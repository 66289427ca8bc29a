#!/usr/bin/env bash
# Checks the layering of the player's folders: every project include of a
# source file names its own folder or a folder below it. Prints each include
# that reaches up or sideways and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides itself, lowest layer first.
declare -A allowed=(
  [core]=""
  [formats]=""
  [platform]="core"
  [media]="core"
  [video]="media core"
  [render]="core"
  [render/gl]="render platform core"
  [world]="render core"
  [scene]="world render formats core"
  [check]="scene world render media formats core"
  [app]="check scene world render video media platform formats core"
  [tools]="formats"
)

# The composition root: the one file of its folder that may also include the
# folders named here, to make the concrete parts the rest of it uses through
# their interfaces.
declare -A root_allowed=(
  [app/main.cpp]="render/gl"
)

# The folder of an include path: "render/gl" for render/gl/x.h, else its first part.
folder_of() {
  case "$1" in
    render/gl/*) echo render/gl ;;
    *) echo "${1%%/*}" ;;
  esac
}

status=0
for dir in "${!allowed[@]}"; do
  while IFS= read -r file; do
    own=$(folder_of "$file")
    [ "$own" = "$dir" ] || continue
    while IFS= read -r target; do
      theirs=$(folder_of "$target")
      may_use="${allowed[$dir]} ${root_allowed[$file]:-}"
      if [ "$theirs" != "$own" ] && [[ " $may_use " != *" $theirs "* ]]; then
        if [ -n "${root_allowed[$file]:-}" ]; then
          echo "$file includes $target: $file may use only ${allowed[$dir]} ${root_allowed[$file]}"
        else
          echo "$file includes $target: $own may use only ${allowed[$dir]:-itself}"
        fi
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done < <(git ls-files "$dir" | grep -E '\.(cpp|h)$')
done
[ $status -eq 0 ] && echo "check-layers: every include stays in its layer or goes down"
exit $status
