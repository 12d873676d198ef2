#!/usr/bin/env bash
# Benchmarks katrel against Tandem Repeats Finder and tantan on a Klebsiella
# genome from Debian's kleborate-examples, and prints median wall time, peak
# memory and ratios. Everything it needs is installed from Debian packages
# when missing; nothing is downloaded otherwise.
#
# Settings (environment):
#   BENCH_RUNS=3        runs per command (alternating between commands)
#   BENCH_SCALING=1     also run the default mode on 1, 5, 25 and 100 Mb
#                       (median of BENCH_RUNS up to 5 Mb, one run above)
#   BENCH_READER=1      also run the FASTA reader benchmark
#   BENCH_SATELLITE=1   also run bench/satellite.sh (generated satellite arrays)
#   BENCH_LONG_UNITS=1  also run bench/long_units.sh (long repeat units)
#   BENCH_THREADS=1     also run bench/threads.sh (time against thread count)
#   BENCH_TIMEOUT=120, BENCH_MEM_MB=8000   time and memory limits of one
#                       command in those two
#   BENCH_DIR=/tmp/katrel-bench   where genomes and outputs go
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
katrel=$root/build/katrel
runs=${BENCH_RUNS:-3}
dir=${BENCH_DIR:-/tmp/katrel-bench}
mkdir -p "$dir"

bash scripts/setup.sh trf tantan kleborate-examples time xz-utils >/dev/null

genome=$dir/klebsiella.fna
if [ ! -s "$genome" ]; then
  src=$(ls /usr/share/doc/kleborate/examples/data/*.fna.xz 2>/dev/null | head -n 1 || true)
  if [ -z "$src" ]; then
    src=$(dpkg -L kleborate-examples | grep -E '\.fna\.xz$' | head -n 1)
  fi
  xz -dc "$src" >"$genome"
fi
genome_mb=$(awk -v b="$(stat -c %s "$genome")" 'BEGIN{printf "%.1f", b/1e6}')
echo "Genome: $genome ($genome_mb MB)"
echo

# measure NAME COMMAND...: one run; appends "seconds peak_kb" to $dir/NAME.times
measure() {
  local name=$1; shift
  # time writes to its own file: the command's standard error is discarded.
  /usr/bin/time -o "$dir/$name.time1" -f '%e %M' "$@" >"$dir/$name.out" 2>/dev/null || true
  tail -n 1 "$dir/$name.time1" >>"$dir/$name.times"
}

median() { sort -n | awk '{a[NR]=$1} END{ if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2 }'; }

names=(katrel_imperfect katrel_extendExact katrel_exact trf tantan tantan_w10)
declare -A cmd
cmd[katrel_imperfect]="$katrel $genome"
cmd[katrel_extendExact]="$katrel --searchMode extendExact $genome"
cmd[katrel_exact]="$katrel --searchMode exact $genome"
cmd[trf]="trf $genome 2 7 7 80 10 50 10 -h -ngs"
cmd[tantan]="tantan -f4 $genome"
cmd[tantan_w10]="tantan -f4 -w10 $genome"

for n in "${names[@]}"; do rm -f "$dir/$n.times"; done
# TRF writes its files into the current folder.
pushd "$dir" >/dev/null
for ((r = 1; r <= runs; r++)); do
  for n in "${names[@]}"; do
    # shellcheck disable=SC2086
    measure "$n" ${cmd[$n]} || true
  done
done
popd >/dev/null

declare -A med mem
for n in "${names[@]}"; do
  med[$n]=$(awk '{print $1}' "$dir/$n.times" | median)
  mem[$n]=$(awk '{print $2}' "$dir/$n.times" | median)
done

printf '%-20s %10s %10s %10s %10s\n' "command" "median s" "peak MB" "/ TRF" "/ tantan"
for n in "${names[@]}"; do
  awk -v n="$n" -v t="${med[$n]}" -v m="${mem[$n]}" -v trf="${med[trf]}" -v tt="${med[tantan]}" \
    'BEGIN{ printf "%-20s %10.2f %10.1f %10.3f %10.3f\n", n, t, m/1024, (trf>0? t/trf : 0), (tt>0? t/tt : 0) }'
done
echo "(median of $runs runs each; peak memory from /usr/bin/time)"
awk -v d="${med[katrel_imperfect]}" -v e="${med[katrel_exact]}" -v t="${med[trf]}" 'BEGIN{
  if (t <= 0) exit
  printf "goal default <= 0.5 x TRF: %.3f %s\n", d/t, (d/t <= 0.5 ? "met" : "not met")
  printf "goal exact   <= 0.1 x TRF: %.3f %s\n", e/t, (e/t <= 0.1 ? "met" : "not met") }'

if [ "${BENCH_SCALING:-1}" = 1 ]; then
  echo
  echo "Scaling of the default mode:"
  printf '%-10s %10s %10s %10s %12s\n' "input" "seconds" "s per Mb" "peak MB" "3x+50 MB"
  for mb in 1 5 25 100; do
    f=$dir/scaling_${mb}mb.fa
    if [ ! -s "$f" ]; then
      # Concatenated copies of the genome's sequence, cut to size, as one record.
      python3 bench/make_repeated_genome.py "$genome" "$f" "$mb" "scaling_${mb}mb"
    fi
    # Short runs are noisy: the median of BENCH_RUNS for up to 5 Mb.
    rm -f "$dir/scale.times"
    n=1
    [ "$mb" -le 5 ] && n=$runs
    for ((r = 1; r <= n; r++)); do
      measure scale "$katrel" "$f"
    done
    s=$(awk '{print $1}' "$dir/scale.times" | median)
    kb=$(awk '{print $2}' "$dir/scale.times" | median)
    awk -v mb="$mb" -v s="$s" -v kb="$kb" 'BEGIN{ printf "%-10s %10.2f %10.3f %10.1f %12.1f\n", mb " Mb", s, s/mb, kb/1024, 3*mb+50 }'
  done
fi

if [ "${BENCH_READER:-1}" = 1 ] && [ -x bench/reader_speed.sh ]; then
  echo
  bash bench/reader_speed.sh || true
fi

if [ "${BENCH_THREADS:-1}" = 1 ] && [ -x bench/threads.sh ]; then
  echo
  KATREL=$katrel BENCH_DIR=$dir bash bench/threads.sh || true
fi

if [ "${BENCH_SATELLITE:-1}" = 1 ] && [ -x bench/satellite.sh ]; then
  echo
  KATREL=$katrel BENCH_DIR=$dir bash bench/satellite.sh || true
fi

if [ "${BENCH_LONG_UNITS:-1}" = 1 ] && [ -x bench/long_units.sh ]; then
  echo
  KATREL=$katrel BENCH_DIR=$dir bash bench/long_units.sh || true
fi
