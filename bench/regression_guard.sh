#!/usr/bin/env bash
# Regression guard for search speed work: runs katrel in all three search
# modes and a set of option variants on four inputs and compares the sha256
# of every report with the checksums recorded in bench/regression_guard.sha256.
# A change that is meant to make the search faster must leave every report
# byte for byte as it was.
#
#   bench/regression_guard.sh            compare (exit 1 on any difference)
#   bench/regression_guard.sh --record   write the checksum file anew
#   GUARD_THREADS=7 bench/regression_guard.sh   every run with --threads 7:
#                                        the same checksums must come out
#
# Environment: KATREL (default build/katrel), GUARD_DIR (default
# /tmp/katrel-guard), GUARD_SUMS (the checksum file, default
# bench/regression_guard.sha256), BENCH_DIR (where klebsiella.fna lies,
# default /tmp/katrel-bench; bench/run.sh fetches it).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
katrel=${KATREL:-$root/build/katrel}
dir=${GUARD_DIR:-/tmp/katrel-guard}
sums=${GUARD_SUMS:-$root/bench/regression_guard.sha256}
mkdir -p "$dir"

record=0
[ "${1:-}" = "--record" ] && record=1

genome=${BENCH_DIR:-/tmp/katrel-bench}/klebsiella.fna
if [ ! -s "$genome" ]; then
  echo "missing $genome (run bench/run.sh once to fetch it)" >&2
  exit 2
fi
planted=$dir/planted.fa
[ -s "$planted" ] || python3 bench/make_planted.py "$planted" 2000000

satellite=$dir/satellite.fa
[ -s "$satellite" ] || python3 bench/make_satellite.py guard 0 "$satellite"
longunit=$dir/longunit.fa
[ -s "$longunit" ] || python3 bench/make_satellite.py longunit 6000 "$longunit"

inputs="klebsiella:$genome imperfect:$root/tests/data/inputs/imperfect.fa example:$root/examples/example.fa planted:$planted"
inputs="$inputs satellite:$satellite longunit:$longunit"

# name|options ; options are word-split on purpose
variants=(
  "exact|--searchMode exact"
  "extendExact|--searchMode extendExact"
  "imperfect|"
  "shorter|--preferShorterRepeats"
  "r1|-r 1"
  "R6|-R 6"
  "fmt3|--outputFormat 3"
  "m3g2|-m -3 -g -2"
  "NsMiss|--NsAsMissense"
  "extendExact_m3g2|--searchMode extendExact -m -3 -g -2"
  "extendExact_shorter|--searchMode extendExact --preferShorterRepeats"
)
# further variants on the smaller inputs only
small_variants=(
  "U20|-U 20"
  "u3U16_r3|-u 3 -U 16 -r 3"
  "m2g7|-m -2 -g -7"
  "m9g2_R3|-m -9 -g -2 -R 3"
  "N0|-N 0"
  "N5_shorter|-N 5 --preferShorterRepeats"
  "s12_l30|-s 12 -l 30"
  "sb2|--minScore_a 3 --minScore_b 2"
)

# satellite arrays (diverged pentamers, an alpha-like higher-order array,
# perfect runs, N runs inside an array)
satellite_variants=(
  "exact|--searchMode exact"
  "extendExact|--searchMode extendExact"
  "imperfect|"
  "shorter|--preferShorterRepeats"
  "r3|-r 3"
  "R6|-R 6"
  "R30|-R 30"
  "m3g2|-m -3 -g -2"
  "NsMiss|--NsAsMissense"
  "N0|-N 0"
  "N5_shorter|-N 5 --preferShorterRepeats"
  "u4U12|-u 4 -U 12"
  "fmt3|--outputFormat 3"
  "extendExact_shorter|--searchMode extendExact --preferShorterRepeats"
  "extendExact_R30|--searchMode extendExact -R 30"
)
# long units (11 to 300) planted in random sequence
longunit_variants=(
  "U50|-U 50"
  "u100|-u 100 -U 100"
  "u171|-u 171 -U 171"
  "u300|-u 300 -U 300"
  "u11U40_R10|-u 11 -U 40 -R 10"
  "u30U45_NsMiss|-u 30 -U 45 --NsAsMissense"
  "u20U30_shorter_m3g4|-u 20 -U 30 --preferShorterRepeats -m -3 -g -4"
  "extendExact_U300|--searchMode extendExact -U 300"
  "exact_U300|--searchMode exact -U 300"
)

out=$(mktemp)
fail=0
for entry in $inputs; do
  name=${entry%%:*}
  file=${entry#*:}
  case $name in
    klebsiella) list=("${variants[@]}") ;;
    satellite) list=("${satellite_variants[@]}") ;;
    longunit) list=("${longunit_variants[@]}") ;;
    *) list=("${variants[@]}" "${small_variants[@]}") ;;
  esac
  for v in "${list[@]}"; do
    vname=${v%%|*}
    opts=${v#*|}
    rep=$dir/$name.$vname.txt
    # shellcheck disable=SC2086
    [ -n "${GUARD_THREADS:-}" ] && opts="--threads $GUARD_THREADS $opts"
    "$katrel" $opts "$file" "$rep" >/dev/null 2>&1
    status=$?
    # The file name lines name where the files lie, not what was found.
    sum=$(grep -v -e '^# Output file name' -e '^# Input file name' "$rep" 2>/dev/null | sha256sum | cut -d' ' -f1)
    echo "$name.$vname $status $sum" >>"$out"
  done
done

if [ $record = 1 ]; then
  mv "$out" "$sums"
  echo "recorded $(wc -l <"$sums") checksums in $sums"
  exit 0
fi
while read -r key status sum; do
  want=$(grep "^$key " "$sums" | cut -d' ' -f2-)
  if [ "$want" != "$status $sum" ]; then
    echo "DIFFERS: $key (got $status $sum, want ${want:-nothing})"
    fail=1
  fi
done <"$out"
n=$(wc -l <"$out")
rm -f "$out"
if [ $fail = 0 ]; then
  echo "regression guard: all $n reports unchanged"
else
  echo "regression guard: FAILED"
fi
exit $fail
