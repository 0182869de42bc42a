#!/usr/bin/env bash
# Before and after in one run: the benchmark program of an older build and of this one, in
# turn (old, new, old, new ...), on the same files: a view of the corpus with only the eight
# formats every build reads, so that the whole-corpus line covers the same files on both.
# Prints each format's files per second through the engine and its ratios to TagLib and
# MediaInfoLib, before and after (the mean of the rounds' medians), and the change.
#
# Usage: bench/compare.sh OLD_BENCH_PROGRAM [ROUNDS]   (default 2 rounds)
# Environment: BENCH_BUILD  this build's folder (default build/native)
# An older build: git worktree add ../bench-base COMMIT, then in it
#   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONAVID_BENCH=ON
#   cmake --build build/bench --target sonavid_bench
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 OLD_BENCH_PROGRAM [ROUNDS]" >&2; exit 2; }
old=$1
rounds=${2:-2}
new=${BENCH_BUILD:-$root/build/native}/bench/sonavid_bench
corpus=$root/build/bench-corpus
[ -f "$corpus/expected.tsv" ] || "$here/make-corpus.sh" "$corpus"

view=$(mktemp -d)
trap 'rm -rf "$view"' EXIT
for folder in mp3 wav avi vqf wma ogg ape mp4; do ln -s "$corpus/$folder" "$view/$folder"; done
cp "$corpus/expected.tsv" "$view/"
# Raised priority where allowed: the machine is shared.
nice_=(); nice -n -5 true 2>/dev/null && nice_=(nice -n -5)
for round in $(seq "$rounds"); do
  for build in old new; do
    echo "== round $round: $build ($(cut -d' ' -f1-3 /proc/loadavg))" >&2
    "${nice_[@]}" "${!build}" --corpus "$view" --loads 1000 --benchmark_repetitions=3 \
      --benchmark_display_aggregates_only=true --benchmark_filter='^(engine|taglib|mediainfo)/' \
      >"$view/$build-$round.txt" 2>/dev/null
  done
done
echo "load average after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$view" "$rounds" <<'PY'
import statistics, sys

view, rounds = sys.argv[1], int(sys.argv[2])

def table(path):
    # Columns are found by their heading, as builds differ in which contenders they show.
    rows, inside, column = {}, False, {}
    for line in open(path):
        f = line.split()
        if line.startswith("Files per second"):
            inside = True
        elif inside and f and f[0] == "format":
            column = {name: i for i, name in enumerate(f[:8])}
        elif inside and f and f[0] != "(engine:":
            if len(f) < 9 or not f[1].isdigit():
                inside = False
                continue
            engine = float(f[column["engine"]])
            taglib, mediainfo = float(f[column["TagLib"]]), float(f[column["MediaInfo"]])
            rows[f[0]] = (int(f[1]), engine, engine / taglib if taglib else 0,
                          engine / mediainfo if mediainfo else 0)
    return rows

runs = {b: [table(f"{view}/{b}-{r}.txt") for r in range(1, rounds + 1)] for b in ("old", "new")}
mean = lambda b, fmt, i: statistics.mean(run[fmt][i] for run in runs[b])
print(f"{'format':6} {'files':>5} {'before':>9} {'after':>9} {'change':>7} "
      f"{'xTL before':>10} {'xTL after':>9} {'xMI before':>10} {'xMI after':>9}")
for fmt in runs["old"][0]:
    before = mean('old', fmt, 1)
    change = f"{100 * (mean('new', fmt, 1) / before - 1):+6.1f}%" if before else "      -"
    print(f"{fmt:6} {runs['old'][0][fmt][0]:5d} {before:9.0f} {mean('new', fmt, 1):9.0f} {change} "
          f"{mean('old', fmt, 2):10.2f} {mean('new', fmt, 2):9.2f} "
          f"{mean('old', fmt, 3):10.1f} {mean('new', fmt, 3):9.1f}")
print("each round's engine files/s, before | after:")
for fmt in runs["old"][0]:
    print(f"  {fmt:6}", " ".join(f"{run[fmt][1]:8.0f}" for run in runs["old"]), "|",
          " ".join(f"{run[fmt][1]:8.0f}" for run in runs["new"]))
PY
