#!/usr/bin/env bash
# Compares katrel on the gzip-compressed Klebsiella genome (kleborate-examples)
# with the same genome uncompressed, in the exact and the default (imperfect)
# mode: median wall time, CPU time (user + system) and peak memory of each,
# and the ratios gz / plain per mode (goal: at most 1.3 in wall time; the CPU
# time ratio is the steadier one on a busy machine). Runs alternate between
# the four commands.
# The reports of both inputs must be the same, apart from the input file name.
#
#   bench/gzip_speed.sh [KATREL]
#
# Settings (environment):
#   KATREL=build/katrel          the program (the argument wins)
#   BENCH_RUNS=3                 runs per command
#   BENCH_DIR=/tmp/katrel-bench  where genomes and outputs go
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
katrel=${1:-${KATREL:-$root/build/katrel}}
runs=${BENCH_RUNS:-3}
dir=${BENCH_DIR:-/tmp/katrel-bench}
mkdir -p "$dir"

if [ ! -x "$katrel" ]; then
  echo "gzip_speed.sh: $katrel is not an executable (run \`make build\` or pass the program)" >&2
  exit 1
fi

bash scripts/setup.sh kleborate-examples xz-utils gzip time >/dev/null

# The plain genome as bench/run.sh makes it.
genome=$dir/klebsiella.fna
if [ ! -s "$genome" ]; then
  src=$(ls /usr/share/doc/kleborate/examples/data/*.fna.xz 2>/dev/null | head -n 1 || true)
  if [ -z "$src" ]; then
    src=$(dpkg -L kleborate-examples | grep -E '\.fna\.xz$' | head -n 1)
  fi
  xz -dc "$src" >"$genome"
fi
gz=$genome.gz
if [ ! -s "$gz" ] || [ "$gz" -ot "$genome" ]; then
  gzip -c "$genome" >"$gz"
fi
awk -v p="$(stat -c %s "$genome")" -v g="$(stat -c %s "$gz")" \
  'BEGIN{ printf "Genome: %.2f MB plain, %.2f MB gzip-compressed\n", p/1e6, g/1e6 }'
echo "Program: $katrel"
echo

names=(exact_plain exact_gz imperfect_plain imperfect_gz)
declare -A cmd
cmd[exact_plain]="--searchMode exact $genome"
cmd[exact_gz]="--searchMode exact $gz"
cmd[imperfect_plain]="$genome"
cmd[imperfect_gz]="$gz"

# measure NAME: one run; appends "wall_s cpu_s peak_kb" to $dir/gzip_NAME.times
measure() {
  local name=$1 t0 t1 status=0
  t0=$(date +%s%N)
  # shellcheck disable=SC2086
  /usr/bin/time -f '%U %S %M' -o "$dir/gzip_$name.res" \
    "$katrel" ${cmd[$name]} >"$dir/gzip_$name.out" 2>/dev/null || status=$?
  t1=$(date +%s%N)
  if [ "$status" -ne 0 ]; then
    echo "gzip_speed.sh: katrel ${cmd[$name]} exited with status $status" >&2
    exit 1
  fi
  tail -n 1 "$dir/gzip_$name.res" |
    awk -v ns=$((t1 - t0)) '{ printf "%.3f %.2f %d\n", ns/1e9, $1 + $2, $3 }' >>"$dir/gzip_$name.times"
}

median() { sort -n | awk '{a[NR]=$1} END{ if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2 }'; }

for n in "${names[@]}"; do rm -f "$dir/gzip_$n.times"; done
for ((r = 1; r <= runs; r++)); do
  for n in "${names[@]}"; do
    measure "$n"
  done
done

declare -A med cpu mem
for n in "${names[@]}"; do
  med[$n]=$(awk '{print $1}' "$dir/gzip_$n.times" | median)
  cpu[$n]=$(awk '{print $2}' "$dir/gzip_$n.times" | median)
  mem[$n]=$(awk '{print $3}' "$dir/gzip_$n.times" | median)
done

# Same report for both inputs? Only the summary line with the file name differs.
same() {
  diff -q <(grep -v '^# Input file name:' "$dir/gzip_$1_plain.out") \
          <(grep -v '^# Input file name:' "$dir/gzip_$1_gz.out") >/dev/null && echo yes || echo NO
}

printf '%-10s %8s %8s %9s %8s %8s %9s %9s %6s %5s %5s\n' \
  "mode" "plain s" "gz s" "gz/plain" "plain cpu" "gz cpu" "gz/plain" "plain MB" "gz MB" "goal" "same"
over=0
for mode in exact imperfect; do
  p=${med[${mode}_plain]} g=${med[${mode}_gz]}
  ratio=$(awk -v p="$p" -v g="$g" 'BEGIN{ printf "%.3f", (p > 0 ? g/p : 0) }')
  ok=$(awk -v r="$ratio" 'BEGIN{ print (r <= 1.3 ? "ok" : "OVER") }')
  [ "$ok" = ok ] || over=1
  awk -v m="$mode" -v p="$p" -v g="$g" -v r="$ratio" \
      -v pc="${cpu[${mode}_plain]}" -v gc="${cpu[${mode}_gz]}" \
      -v pm="${mem[${mode}_plain]}" -v gm="${mem[${mode}_gz]}" -v ok="$ok" -v same="$(same "$mode")" \
    'BEGIN{ printf "%-10s %8.3f %8.3f %9.3f %9.2f %8.2f %9.3f %9.1f %6.1f %5s %5s\n",
                   m, p, g, r, pc, gc, (pc > 0 ? gc/pc : 0), pm/1024, gm/1024, ok, same }'
done
echo "(medians of $runs runs each, alternating; wall and CPU (user + system) seconds;"
echo " goal: gz/plain wall time <= 1.3; \"same\": the two reports agree apart from the file name)"
if [ "$over" = 1 ]; then
  echo "gz/plain is above 1.3 in at least one mode" >&2
fi
