#!/usr/bin/env bash
# Runs the plug-in the way a file-renaming host does, under Wine as a Japanese Windows:
# its names, a handful of macro texts over the sample media files, and a rename preview.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
export WINEPREFIX=$PWD/build/win32/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Our users run a Japanese Windows; Wine takes its ANSI code page (932) from the locale.
unset LC_ALL LC_CTYPE
export LANG=ja_JP.UTF-8
echo "== Wine runs with LANG=$LANG: a Japanese Windows, ANSI code page 932"
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

preview() {
  local status=0
  wine "$host" preview "$@" || status=$?
  case $status in
    0) echo "(no name flagged)" ;;
    1) echo "(exit status 1: flagged names need another template)" ;;
    *) exit "$status" ;;
  esac
}

# Artist - title (playing time), the file's extension kept. Untagged files collide on purpose:
# the preview is where a user sees that before renaming.
template='/b<,IART> - /b<,INAM> (/b<,TIME>)'
echo
echo "== rename preview: $template"
preview "$template" "${media[@]}"

# A mixed folder of music and video renamed with the fields every type gives in one shape:
# the zero-padded track number, artist, title and playing time.
template='/b<,TRACK00> /b<,IART> - /b<,INAM> (/b<,LENGTH>)'
mixed=()
for name in mp3-id3v23-utf16.mp3 flac-tagged.flac tone.ogg tone.ape wv-lossless.wv tone.wma \
            album.mka clip.mp4 h264-aac.mkv clip.wmv; do
  [ -f "tests/data/media/$name" ] && mixed+=("$(winepath -w "tests/data/media/$name")")
done
echo
echo "== rename preview of music and video together: $template"
preview "$template" "${mixed[@]}"

# TV recordings named by the tuner renamed by the program they hold: air date, start, channel
# and title from the broadcast's own tables.
template='/b<TS,ICRD> /b<TS,START> /b<TS,CHANNEL> - /b<TS,INAM>'
echo
echo "== rename preview of TV recordings: $template"
preview "$template" "$(winepath -w tests/data/media/broadcast-isdb-present.ts)" \
        "$(winepath -w tests/data/media/broadcast-isdb-schedule.m2ts)"
