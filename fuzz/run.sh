#!/bin/bash
# Builds the libFuzzer targets fuzz/fuzz_*.cpp with clang (fuzzer, address and undefined
# behaviour sanitizers) into build/fuzz and runs each for FUZZ_SECONDS (default 60).
#   fuzz/run.sh                 every target
#   fuzz/run.sh riff id3v2      the named targets (fuzz_riff, fuzz_id3v2)
#   FUZZ_JOBS=2 fuzz/run.sh     targets run two at a time
#   FUZZ_OUT=build/fuzz-x ...   objects, binaries, corpora and findings in another folder
# Seeds come from tests/data/media and tests/data/crash; findings are written to
# build/fuzz/artifacts/<target>/ (make each one a named regression file in tests/data/crash/).
# Needs: clang libclang-rt-14-dev libonig-dev
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$root/build/fuzz}  # another folder keeps concurrent runs apart
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-1}
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
       -fno-sanitize-recover=undefined -I"$root/src")
mkdir -p "$out/obj"

# The portable code the parsers need: common helpers, the media reader and the built-in
# substitution (which links Oniguruma).
objects=()
while IFS= read -r src; do
  rel=${src#"$root"/src/}
  obj=$out/obj/${rel//\//_}.o
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$root/src" -name '*.h' -newer "$obj" -print -quit)" ]; then
    "$cxx" "${flags[@]}" -c "$src" -o "$obj"
  fi
  objects+=("$obj")
done < <(find "$root/src/common" "$root/src/media" "$root/src/regex" -name '*.cpp' ! -name '*_win.cpp' | sort)

targets=()
if [ $# -gt 0 ]; then
  for name in "$@"; do targets+=("$root/fuzz/fuzz_${name#fuzz_}.cpp"); done
else
  targets=("$root"/fuzz/fuzz_*.cpp)
fi

run_target() {
  local src=$1 name
  name=$(basename "$src" .cpp)
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$src" "${objects[@]}" -lonig -o "$out/$name"
  mkdir -p "$out/corpus/$name" "$out/artifacts/$name"
  local seeds=("$out/corpus/$name")
  for dir in "$root/tests/data/media" "$root/tests/data/crash"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "== $name: ${seconds}s"
  "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=131072 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/$name/" "${seeds[@]}" \
    >"$out/$name.log" 2>&1 && status=ok || status=FAILED
  echo "== $name: $status; $(grep -E 'stat::number_of_executed_units' "$out/$name.log" || true)"
  [ "$status" = ok ]
}

failed=0
pids=()
for src in "${targets[@]}"; do
  run_target "$src" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
