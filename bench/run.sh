#!/usr/bin/env bash
# Runs the benchmark against TagLib and MediaInfoLib, making the corpus first when it is
# missing. Every figure is the median of three runs. Arguments go to the benchmark program
# (Google Benchmark flags such as --benchmark_filter=MP3 or --benchmark_repetitions=1, --loads N).
# Environment: BENCH_BUILD  build folder configured with -DSONAVID_BENCH=ON (default build/native)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${BENCH_BUILD:-$root/build/native}
corpus=$root/build/bench-corpus

[ -f "$corpus/expected.tsv" ] || "$here/make-corpus.sh" "$corpus"
cmake --build "$build" --target sonavid_bench -j"$(nproc)" >/dev/null
exec "$build/bench/sonavid_bench" --corpus "$corpus" --benchmark_repetitions=3 \
  --benchmark_display_aggregates_only=true "$@"
