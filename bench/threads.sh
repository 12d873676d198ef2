#!/usr/bin/env bash
# Wall time and peak memory of katrel against its thread count: the three
# search modes with --threads 1, 2 and the machine's count on the
# Klebsiella genome (one 5.4 Mb chromosome and plasmids), on the four
# genomes of kleborate-examples concatenated (16 records) and on one record
# of THREADS_BIG_MB (default 100) Mb; speed-up over one thread, and the
# memory bound 3 x (largest record) x 2 + 50 MB.
#
# Settings (environment): KATREL (default build/katrel), BENCH_DIR
# (default /tmp/katrel-bench), BENCH_RUNS (default 3; the median is shown),
# THREADS_BIG_MB (0 skips the big record).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD
katrel=${KATREL:-$root/build/katrel}
dir=${BENCH_DIR:-/tmp/katrel-bench}
runs=${BENCH_RUNS:-3}
big_mb=${THREADS_BIG_MB:-100}
mkdir -p "$dir"
bash scripts/setup.sh kleborate-examples time xz-utils >/dev/null

genome=$dir/klebsiella.fna
all=$dir/klebsiella_all4.fna
if [ ! -s "$genome" ] || [ ! -s "$all" ]; then
  srcs=$(dpkg -L kleborate-examples | grep -E '\.fna\.xz$' | sort)
  [ -s "$genome" ] || xz -dc "$(echo "$srcs" | head -n 1)" >"$genome"
  # shellcheck disable=SC2086
  [ -s "$all" ] || xz -dc $srcs >"$all"
fi
big=$dir/threads_${big_mb}mb.fa
if [ "$big_mb" -gt 0 ] && [ ! -s "$big" ]; then
  python3 bench/make_repeated_genome.py "$genome" "$big" "$big_mb" "big_${big_mb}mb"
fi

largest_mb() {  # the longest record of a FASTA file, in MB
  awk '/^>/ { if (n > m) m = n; n = 0; next } { n += length($0) } END { if (n > m) m = n; printf "%.1f", m / 1e6 }' "$1"
}
median() { sort -n | awk '{a[NR]=$1} END{ if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2 }'; }

cores=$(nproc)
counts="1 2"
[ "$cores" -gt 2 ] && counts="$counts $cores"

printf '%-22s %-12s %8s %9s %9s %9s %10s\n' input mode threads seconds speed-up "peak MB" "bound MB"
inputs="klebsiella:$genome all4:$all"
[ "$big_mb" -gt 0 ] && inputs="$inputs big_${big_mb}mb:$big"
for entry in $inputs; do
  name=${entry%%:*}
  file=${entry#*:}
  bound=$(awk -v m="$(largest_mb "$file")" 'BEGIN{ printf "%.0f", 3 * m * 2 + 50 }')
  for mode in imperfect extendExact exact; do
    one=""
    for t in $counts; do
      n=$runs
      [ "$name" = "big_${big_mb}mb" ] && n=1
      rm -f "$dir/threads.times"
      for ((r = 1; r <= n; r++)); do
        /usr/bin/time -o "$dir/threads.time1" -f '%e %M' "$katrel" --threads "$t" --searchMode "$mode" "$file" \
          "$dir/threads.out" 2>/dev/null
        tail -n 1 "$dir/threads.time1" >>"$dir/threads.times"
      done
      s=$(awk '{print $1}' "$dir/threads.times" | median)
      kb=$(awk '{print $2}' "$dir/threads.times" | median)
      [ -z "$one" ] && one=$s
      awk -v n="$name" -v m="$mode" -v t="$t" -v s="$s" -v o="$one" -v kb="$kb" -v b="$bound" \
        'BEGIN{ printf "%-22s %-12s %8d %9.2f %9.2f %9.1f %10s\n", n, m, t, s, (s > 0 ? o / s : 0), kb / 1024, b }'
    done
  done
done
echo "(median of $runs runs, one run on the big record; speed-up: one-thread time / this time)"
