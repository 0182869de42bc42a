#!/usr/bin/env bash
# Fails when an include points up the layers (or across folders of the same layer that must
# not know each other). Layers, bottom to top; a folder may include its own layer and below.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
declare -A rank=(
  [common]=0 [core]=0
  [media]=1 [regex]=1
  [settings]=2
  [engine]=3
  [ui]=4
  [setup]=5 [params]=5
  [plugin]=6
)
# Folders of one rank that must not include each other.
declare -A apart=([common:core]=1 [media:regex]=1 [regex:media]=1 [setup:params]=1 [params:setup]=1)
status=0
while IFS= read -r line; do
  file=${line%%:*}
  target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$line")
  from=$(cut -d/ -f2 <<<"$file")
  [ -n "${rank[$target]+x}" ] || continue
  if [ "${rank[$target]}" -gt "${rank[$from]}" ] || [ -n "${apart[$from:$target]+x}" ]; then
    echo "$line: $from may not include $target" >&2
    status=1
  fi
done < <(grep -rn '#include "[a-z_]*/' src --include='*.h' --include='*.cpp')
[ $status -eq 0 ] && echo "layers: every include points down or sideways"
exit $status
