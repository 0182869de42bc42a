#!/usr/bin/env bash
# Instructions per file through the engine, per format, counted by callgrind on one pass over
# the corpus: free of the noise of a shared machine, so it shows what a change saves.
#
# Usage: bench/instructions.sh [BENCH_PROGRAM] [FORMAT...]
#        (default build/native/bench/sonavid_bench and every format, then the whole corpus)
# Environment: CONTENDER  engine (default), reader or floor
#              KEEP       folder to keep the callgrind.out files in, for callgrind_annotate
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
bench=${1:-$root/build/native/bench/sonavid_bench}
[ $# -gt 0 ] && shift
formats=("$@")
[ ${#formats[@]} -gt 0 ] || formats=(MP3 WAV AVI VQF WMA OGG APE MP4 FLAC AIFF WV DSF MKV TS MPG AAC all)
contender=${CONTENDER:-engine}
case $contender in
  engine) collect='sonavid::bench::readWithEngine*' ;;
  reader) collect='sonavid::bench::readWithBuiltinReader*' ;;
  floor) collect='sonavid::bench::readFloor*' ;;
  *) echo "CONTENDER is engine, reader or floor" >&2; exit 2 ;;
esac
out=${KEEP:-$(mktemp -d)}
[ -n "${KEEP:-}" ] || trap 'rm -rf "$out"' EXIT
mkdir -p "$out"

printf '%-6s %6s %14s %12s\n' format files instructions "per file"
for format in "${formats[@]}"; do
  log=$(valgrind --tool=callgrind --callgrind-out-file="$out/$contender-$format.out" \
    --toggle-collect="$collect" "$bench" --corpus "$root/build/bench-corpus" \
    --profile "$contender" --set "$format" 2>&1)
  files=$(sed -n 's/^\([0-9]*\) files x.*/\1/p' <<<"$log")
  total=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' <<<"$log")
  printf '%-6s %6s %14s %12s\n' "$format" "$files" "$total" $((total / files))
done
