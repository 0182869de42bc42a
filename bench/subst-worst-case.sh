#!/usr/bin/env bash
# Worst-case cost of one user substitution in the real 32-bit plug-in under Wine: the reference
# host expands user items of the MP3 page (patterns that backtrack without end, and for
# comparison ones like those in the help) over copies of an MP3 file, and reports the time the
# plug-in took per value (its own clock around each call, so Wine's start-up does not count).
# The plain AFMT value comes first for each file, so loading the file is not in the items' time.
#
# usage: bench/subst-worst-case.sh [FILES]     (default 30)
# Needs build/win32 (./build.sh build). Runs with LANG=ja_JP.UTF-8, as the plug-in's users do.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
files=${1:-30}
host=build/win32/bin/sonavid-host.exe
[ -f "$host" ] || { echo "missing $host: ./build.sh build" >&2; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$PWD/build/win32/wineprefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
items=(
  'AFMT_alt|s/^(.|..)*\d{9}$/x/'
  'AFMT_runs|s/^(?:\S+\s*)+\d{9}$/x/'
  'AFMT_star|s/^(\S*\s?)*\d{9}$/x/'
  'AFMT_rate|s/^.* (\d+)Kbps.*$/\1kbps/'
  'AFMT_head|s/^MPEG(\S+) Layer(\d).*$/MPEG\1 L\2/'
  'AFMT_und|s/ /_/g'
)
{
  printf '[MP3]\r\nCount=%d\r\n' "${#items[@]}"
  k=1
  for item in "${items[@]}"; do
    printf 'I%d=%s\r\nD%d=bench\r\nR%d=%s\r\n' "$k" "${item%%|*}" "$k" "$k" "${item#*|}"
    k=$((k + 1))
  done
} >"$work/mac_Sonavid.dat"
: >"$work/host.ini"
media=()
for i in $(seq 1 "$files"); do
  cp tests/data/media/mp3-cbr-info.mp3 "$work/f$i.mp3"
  media+=("$(winepath -w "$work/f$i.mp3")")
done
macros=('/b<MP3,AFMT>')
for item in "${items[@]}"; do macros+=("/b<MP3,${item%%|*}>"); done

xvfb-run -a wine "$host" --ini "$(winepath -w "$work/host.ini")" --section bench \
  expand --timing "${macros[@]}" -- "${media[@]}" >"$work/out.txt" 2>"$work/err.txt" || true
echo "value: $(cut -f2 "$work/out.txt" | head -n 1)   files: $files"
printf '%-22s %-40s %10s %10s  %s\n' macro pattern "mean ms" "longest" "result"
column=2
for macro in "${macros[@]}"; do
  name=${macro#*,}
  name=${name%>}
  pattern=""
  for item in "${items[@]}"; do [ "${item%%|*}" = "$name" ] && pattern=${item#*|}; done
  line=$(grep -F "timing	$macro	" "$work/err.txt" | head -n 1)
  mean=$(echo "$line" | sed -E 's/.*mean ([0-9.]+) ms.*/\1/')
  longest=$(echo "$line" | sed -E 's/.*longest ([0-9.]+) ms.*/\1/')
  printf '%-22s %-40s %10s %10s  %s\n' "$macro" "${pattern:-(value, with loading)}" "$mean" \
    "$longest" "$(cut -f"$column" "$work/out.txt" | head -n 1)"
  column=$((column + 1))
done
