#!/usr/bin/env bash
# Expands a handful of macro texts over the sample media files with the reference host,
# under Wine, the way a file-renaming host would.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
export WINEPREFIX=$PWD/build/win32/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
host=build/win32/bin/sonavid-host.exe
echo "== plug-in"
wine "$host" names
shopt -s nullglob
files=(tests/data/media/*.*)
media=()
for f in "${files[@]}"; do
  case "$f" in *.tsv|*.txt|*.md|*.sh|*.py) ;; *) media+=("$(winepath -w "$f")") ;; esac
done
if [ ${#media[@]} -eq 0 ]; then
  echo "(no sample media files yet)"
  exit 0
fi
echo
echo "== expand: type, lower-case type, TIME, AFMT, VFMT, title"
wine "$host" expand '/a' '/a<1>' '/b' '/b<,AFMT>' '/b<,VFMT>' '/b<,INAM>' -- "${media[@]}"
