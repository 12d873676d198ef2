#!/usr/bin/env bash
# Speed and peak memory of katrel's default mode when it looks for long
# repeat units, beside TRF and tantan with matching largest periods, on the
# first 100 kb of a Klebsiella genome (Debian's kleborate-examples), on the
# whole genome and on 100 kb of random sequence. For each input and command
# it prints seconds and peak memory.
#
# Every command runs under a time limit and a memory limit. A command that
# passes one is stopped and its row says so; the commands of the same series
# with larger units on the same input are then skipped (a stopped -U 500
# means no -U 2000).
#
# Settings (environment):
#   KATREL=build/katrel      the program to measure
#   BENCH_DIR=/tmp/katrel-bench   where the inputs and outputs go (kept and
#                            reused)
#   LONG_INPUTS="kp_100kb random_100kb genome"   inputs to run, in order
#   LONG_PEERS=1             also run TRF and tantan
#   BENCH_TIMEOUT=120        seconds one command may run
#   BENCH_MEM_MB=8000        address space one command may use (ulimit -v)
set -uo pipefail
export LC_ALL=C
caller=$PWD
cd "$(dirname "$0")/.." || exit 1
root=$PWD

katrel=${KATREL:-$root/build/katrel}
case $katrel in /*) ;; */*) katrel=$caller/$katrel ;; esac
dir=${BENCH_DIR:-/tmp/katrel-bench}
inputs=${LONG_INPUTS:-"kp_100kb random_100kb genome"}
peers=${LONG_PEERS:-1}
limit=${BENCH_TIMEOUT:-120}
mem_mb=${BENCH_MEM_MB:-8000}

if [ ! -x "$katrel" ]; then
  echo "$katrel is missing: run make build first" >&2
  exit 1
fi
mkdir -p "$dir" || exit 1
bash scripts/setup.sh trf tantan kleborate-examples time xz-utils >/dev/null ||
  echo "(could not install trf, tantan, kleborate-examples, time and xz-utils)" >&2
if [ ! -x /usr/bin/time ]; then
  echo "/usr/bin/time is missing (Debian package time)" >&2
  exit 1
fi
have_trf=0; have_tantan=0
command -v trf >/dev/null && have_trf=1
command -v tantan >/dev/null && have_tantan=1

# The inputs.
genome=$dir/klebsiella.fna
if [ ! -s "$genome" ]; then
  src=$(find /usr/share/doc/kleborate/examples/data -name '*.fna.xz' 2>/dev/null | sort | head -n 1)
  if [ -z "$src" ]; then
    src=$(dpkg -L kleborate-examples 2>/dev/null | grep -E '\.fna\.xz$' | head -n 1)
  fi
  if [ -z "$src" ] || ! xz -dc "$src" >"$genome.part"; then
    echo "cannot find the Klebsiella genome of kleborate-examples" >&2
    exit 1
  fi
  mv "$genome.part" "$genome"
fi
kp=$dir/kp_100kb.fa
if [ ! -s "$kp" ]; then
  # The first 100 000 bases of the genome's first record.
  awk -v n=100000 '
    NR == 1 { print ">kp_100kb first 100 kb of " substr($1, 2); next }
    /^>/ { exit }
    { s = s $0; if (length(s) >= n) exit }
    END { s = substr(s, 1, n); for (i = 1; i <= length(s); i += 80) print substr(s, i, 80) }
  ' "$genome" >"$kp.part" && mv "$kp.part" "$kp"
fi
rnd=$dir/random_100kb.fa
if [ ! -s "$rnd" ]; then
  python3 - "$rnd.part" <<'PY' && mv "$rnd.part" "$rnd"
import random, sys
rng = random.Random(1)
seq = "".join(rng.choice("ACGT") for _ in range(100000))
with open(sys.argv[1], "w") as f:
    f.write(">random_100kb\n")
    for i in range(0, len(seq), 80):
        f.write(seq[i:i + 80] + "\n")
PY
fi

declare -A in_file in_label
in_file[kp_100kb]=$kp;     in_label[kp_100kb]="kp 100 kb"
in_file[random_100kb]=$rnd; in_label[random_100kb]="random 100 kb"
in_file[genome]=$genome;   in_label[genome]="kp genome"
# The series on each input: "katrel -U", "katrel -u=-U", "trf" and "tantan",
# each with its unit lengths (largest periods for the peers).
declare -A kU kuU
kU[kp_100kb]="50 100 200 500 2000";  kuU[kp_100kb]="10 30 50 100 200 500 1000 2000"
kU[random_100kb]="50 100 200";       kuU[random_100kb]=""
kU[genome]="100 500 2000";           kuU[genome]=""
trf_periods="100 500 2000"
tantan_periods="100 500"

run_tag=long
# shellcheck source=bench/run_limited.sh
. "$root/bench/run_limited.sh"

fmt='%-14s %-22s %9s %9s  %s\n'
# row INPUT COMMAND SECONDS PEAK_KB NOTE
row() {
  local sec=$3 mb=-
  [ "$sec" = - ] || mb=$(awk -v k="$4" 'BEGIN{ printf "%.1f", k / 1024 }')
  case $5 in *" s (stopped)") sec=">$limit" ;; esac
  # shellcheck disable=SC2059
  printf "$fmt" "$1" "$2" "$sec" "$mb" "$5"
}

# series INPUT KIND VALUES...: runs the commands of one series in order of
# growing unit length, skipping the rest once one is stopped.
series() {
  local in=$1 kind=$2; shift 2
  local f=${in_file[$in]} v label stopped=""
  for v in "$@"; do
    case $kind in
      kU) label="katrel -U $v" ;;
      kuU) label="katrel -u $v -U $v" ;;
      trf) label="TRF P=$v" ;;
      tantan) label="tantan -w$v" ;;
    esac
    if [ -n "$stopped" ]; then
      row "${in_label[$in]}" "$label" - 0 "skipped ($stopped was stopped)"
      continue
    fi
    case $kind in
      kU) run_once katrel "$katrel" -U "$v" "$f" "$dir/long_katrel.txt" ;;
      kuU) run_once katrel "$katrel" -u "$v" -U "$v" "$f" "$dir/long_katrel.txt" ;;
      trf) run_once trf trf "$f" 2 7 7 80 10 50 "$v" -h -ngs ;;
      tantan) run_once tantan tantan -f4 "-w$v" "$f" ;;
    esac
    case $r_state in
      ok) row "${in_label[$in]}" "$label" "$r_sec" "$r_kb" "" ;;
      time) row "${in_label[$in]}" "$label" "$r_sec" "$r_kb" "> $limit s (stopped)"; stopped=$label ;;
      mem) row "${in_label[$in]}" "$label" "$r_sec" "$r_kb" "> $mem_mb MB (stopped)"; stopped=$label ;;
      *) row "${in_label[$in]}" "$label" - 0 "failed (exit $r_rc): $(tail -n 1 "$dir/long.stderr" | cut -c 1-60)"
         stopped=$label ;;
    esac
  done
}

echo "Long units in $dir; each command limited to $limit s and $mem_mb MB"
echo "katrel: $katrel (default mode)"
# shellcheck disable=SC2059
printf "$fmt" input command seconds "peak MB" ""
pushd "$dir" >/dev/null || exit 1
for in in $inputs; do
  if [ -z "${in_file[$in]+x}" ]; then
    echo "unknown input $in" >&2
    continue
  fi
  if [ ! -s "${in_file[$in]}" ]; then
    echo "${in_file[$in]} is missing" >&2
    continue
  fi
  # shellcheck disable=SC2086
  series "$in" kU ${kU[$in]}
  # shellcheck disable=SC2086
  [ -n "${kuU[$in]}" ] && series "$in" kuU ${kuU[$in]}
  if [ "$peers" = 1 ]; then
    # shellcheck disable=SC2086
    [ "$have_trf" = 1 ] && series "$in" trf $trf_periods
    # shellcheck disable=SC2086
    [ "$have_tantan" = 1 ] && series "$in" tantan $tantan_periods
  fi
done
popd >/dev/null || exit 1
