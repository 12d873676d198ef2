#!/usr/bin/env bash
# Prints the speed of the gap-removing FASTA reader (bench_reader, Google
# Benchmark, wall-clock time) beside that of `cat FILE > /dev/null` on the
# same generated file of about 120 MB.
#
# Settings (environment):
#   BUILD=build                        build folder holding bench/bench_reader
#   KATREL_BENCH_FASTA=/tmp/katrel_bench_reader.fa   the benchmark file
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
bin=$build/bench/bench_reader
file=${KATREL_BENCH_FASTA:-/tmp/katrel_bench_reader.fa}
export KATREL_BENCH_FASTA=$file

if [ ! -x "$bin" ]; then
  cmake --build "$build" --target bench_reader >/dev/null || {
    echo "bench_reader is not built (is Google Benchmark installed?)" >&2
    exit 1
  }
fi

# The benchmark writes the file when it is missing, so it runs first.
json=$("$bin" --benchmark_format=json 2>/dev/null)
reader=$(printf '%s\n' "$json" | awk -F: '/"bytes_per_second"/ { gsub(/[ ,]/, "", $2); printf "%.0f", $2 / 1e6; exit }')

bytes=$(stat -c %s "$file")
cat "$file" >/dev/null  # warm the page cache
best=
for _ in 1 2 3 4 5; do
  t0=$(date +%s%N)
  cat "$file" >/dev/null
  t1=$(date +%s%N)
  ns=$((t1 - t0))
  if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
done
catspeed=$(awk -v b="$bytes" -v ns="$best" 'BEGIN { printf "%.0f", b / (ns / 1e9) / 1e6 }')

echo "FASTA reader speed on $file ($((bytes / 1000000)) MB):"
printf '  %-36s %8s MB/s\n' "reader (gaps removed)" "$reader"
printf '  %-36s %8s MB/s\n' "cat FILE > /dev/null (best of 5)" "$catspeed"
awk -v r="$reader" -v c="$catspeed" 'BEGIN { printf "  reader / cat: %.2f\n", r / c }'
