#!/usr/bin/env bash
# Checks that two builds of the sonavid tool read the same values: runs `sonavid info --json`
# of each over the same files (the benchmark corpus and tests/data/media, in one sorted list)
# and compares the outputs byte for byte. Files of the types the older build may not know can
# be left out by extension.
#
# Usage: bench/same-values.sh OLD_SONAVID NEW_SONAVID [--skip-ext "flac aiff ..."] [DIR...]
#        (default folders: build/bench-corpus tests/data/media)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 OLD_SONAVID NEW_SONAVID [--skip-ext LIST] [DIR...]" >&2; exit 2; }
old=$1 new=$2
shift 2
skip=""
if [ "${1:-}" = --skip-ext ]; then skip=$2; shift 2; fi
[ $# -gt 0 ] || set -- "$root/build/bench-corpus" "$root/tests/data/media"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# -H: a folder named on the command line may be a link (a worktree's link to the corpus).
find -H "$@" -type f ! -name '*.tsv' ! -name '*.sh' ! -name '*.py' -print0 | LC_ALL=C sort -z |
  while IFS= read -r -d '' f; do
    ext=${f##*.}
    case " ${skip,,} " in *" ${ext,,} "*) continue ;; esac
    printf '%s\0' "$f"
  done >"$work/files"
count=$(tr -cd '\0' <"$work/files" | wc -c)
# One file per call, so that the outputs line up file by file whatever either build prints.
for tool in old new; do
  exe=${!tool}
  xargs -0 -n 1 "$exe" info --json <"$work/files" >"$work/$tool.json" 2>"$work/$tool.err" || true
done
if cmp -s "$work/old.json" "$work/new.json" && cmp -s "$work/old.err" "$work/new.err"; then
  echo "same: $count files, $(wc -c <"$work/new.json") bytes of output," \
    "$(grep -c '"loaded": true' "$work/new.json") loaded"
else
  echo "DIFFERENT over $count files:" >&2
  diff "$work/old.json" "$work/new.json" | head -40 >&2
  exit 1
fi
