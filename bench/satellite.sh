#!/usr/bin/env bash
# Speed and peak memory of katrel on generated satellite arrays (one long
# tandem array per file, from bench/make_satellite.py), beside TRF and
# tantan. For each array, search mode and size it prints seconds, peak
# memory, seconds per Mb and the memory bound 3 x (input MB) + 50; at the end
# the ratio of seconds per Mb between the largest finished size and the
# smallest one (the time per base should stay flat within a factor 2), and
# whether the default mode searches the 1 Mb 5 % pentamer array in under 2 s.
#
# Every command runs under a time limit and a memory limit. A command that
# passes one is stopped and its row says so; the larger sizes of the same
# array and mode are then skipped, and so are sizes that could not finish in
# time even if the time per base stayed at that of the last finished size.
#
# Settings (environment):
#   KATREL=build/katrel      the program to measure
#   BENCH_DIR=/tmp/katrel-bench   where the arrays and outputs go (generated
#                            files are kept and reused)
#   SAT_SIZES="25000 100000 1000000 10000000"   array lengths in bases
#   SAT_ARRAYS="pentamer_5pc pentamer_2pc pentamer_10pc alpha alpha_U200 dinuc unit31"
#   SAT_MODES="imperfect extendExact exact"     katrel search modes
#   SAT_PEERS=1              also run TRF and tantan (100 kb and 1 Mb, on the
#                            5 % pentamer and alpha arrays)
#   SAT_RUNS=3               runs of a command that finishes in under 1 s
#                            (the median is printed); longer ones run once
#   SAT_SEED=1               seed of the generated arrays
#   SAT_ESTIMATE=1           skip sizes whose time, at the last finished
#                            size's time per base, passes 1.5 x the limit
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
sizes=${SAT_SIZES:-"25000 100000 1000000 10000000"}
arrays=${SAT_ARRAYS:-"pentamer_5pc pentamer_2pc pentamer_10pc alpha alpha_U200 dinuc unit31"}
modes=${SAT_MODES:-"imperfect extendExact exact"}
peers=${SAT_PEERS:-1}
runs=${SAT_RUNS:-3}
seed=${SAT_SEED:-1}
estimate=${SAT_ESTIMATE:-1}
limit=${BENCH_TIMEOUT:-120}
mem_mb=${BENCH_MEM_MB:-8000}
# Peers run on these sizes only (where SAT_SIZES has them).
peer_sizes="100000 1000000"

if [ ! -x "$katrel" ]; then
  echo "$katrel is missing: run make build first" >&2
  exit 1
fi
mkdir -p "$dir" || exit 1
bash scripts/setup.sh trf tantan time >/dev/null || echo "(could not install trf, tantan and time)" >&2
if [ ! -x /usr/bin/time ]; then
  echo "/usr/bin/time is missing (Debian package time)" >&2
  exit 1
fi
have_trf=0; have_tantan=0
command -v trf >/dev/null && have_trf=1
command -v tantan >/dev/null && have_tantan=1

# Each array: make_satellite.py kind, mutation rate ("-" for the default),
# katrel options, label.
declare -A a_kind a_rate a_opts a_label a_peer
a_kind[pentamer_5pc]=pentamer;  a_rate[pentamer_5pc]=0.05;  a_opts[pentamer_5pc]="";       a_label[pentamer_5pc]="pentamer 5%"
a_kind[pentamer_2pc]=pentamer;  a_rate[pentamer_2pc]=0.02;  a_opts[pentamer_2pc]="";       a_label[pentamer_2pc]="pentamer 2%"
a_kind[pentamer_10pc]=pentamer; a_rate[pentamer_10pc]=0.10; a_opts[pentamer_10pc]="";      a_label[pentamer_10pc]="pentamer 10%"
a_kind[alpha]=alpha;            a_rate[alpha]=0.01;         a_opts[alpha]="";              a_label[alpha]="alpha"
a_kind[alpha_U200]=alpha;       a_rate[alpha_U200]=0.01;    a_opts[alpha_U200]="-U 200";   a_label[alpha_U200]="alpha -U 200"
a_kind[dinuc]=dinuc;            a_rate[dinuc]=-;            a_opts[dinuc]="";              a_label[dinuc]="dinuc"
a_kind[unit31]=unit31;          a_rate[unit31]=-;           a_opts[unit31]="";             a_label[unit31]="unit31"
# Largest unit the peers look for beside each array (none: no peer rows).
a_peer[pentamer_5pc]=10; a_peer[alpha]=10

# size_label BASES: 25000 -> "25 kb", 1000000 -> "1 Mb".
size_label() {
  awk -v n="$1" 'BEGIN{ if (n >= 1e6) printf "%g Mb", n/1e6; else if (n >= 1e3) printf "%g kb", n/1e3; else printf "%d b", n }'
}

# array_file NAME BASES: prints the path of the array, generating it first
# when it is not there yet.
array_file() {
  local name=$1 n=$2 f
  local rate=${a_rate[$name]}
  [ "$rate" = - ] && rate=def
  f=$dir/sat_${a_kind[$name]}_${rate}_s${seed}_$n.fa
  if [ ! -s "$f" ]; then
    python3 "$root/bench/make_satellite.py" "${a_kind[$name]}" "$n" "$f.part" "${a_rate[$name]}" "$seed" &&
      mv "$f.part" "$f"
  fi
  printf '%s\n' "$f"
}

run_tag=sat
# shellcheck source=bench/run_limited.sh
. "$root/bench/run_limited.sh"

# measure TOOL COMMAND...: like run_once, but a command that finishes in
# under a second runs $runs times; r_sec is then the median, r_kb the largest.
measure() {
  local tool=$1; shift
  local secs=() kb i
  run_once "$tool" "$@"
  if [ "$r_state" != ok ] || [ "$runs" -le 1 ] || awk -v s="$r_sec" 'BEGIN{ exit !(s >= 1) }'; then
    return
  fi
  secs=("$r_sec"); kb=$r_kb
  for ((i = 2; i <= runs; i++)); do
    run_once "$tool" "$@"
    [ "$r_state" = ok ] || return
    secs+=("$r_sec")
    [ "$r_kb" -gt "$kb" ] && kb=$r_kb
  done
  r_sec=$(printf '%s\n' "${secs[@]}" | sort -n | awk '{ a[NR] = $1 } END{ if (NR % 2) print a[(NR + 1) / 2]; else printf "%.3f\n", (a[NR / 2] + a[NR / 2 + 1]) / 2 }')
  r_kb=$kb
}

fmt='%-13s %7s  %-12s %9s %9s %9s %9s  %s\n'
# row LABEL BASES MODE SECONDS PEAK_KB NOTE: one line of the table.
row() {
  local n=$2 sec=$4 kb=$5 note=$6 mb spm bound
  bound=$(awk -v n="$n" 'BEGIN{ printf "%.1f", 3 * n / 1e6 + 50 }')
  if [ "$sec" = - ]; then
    mb=-; spm=-
  else
    mb=$(awk -v k="$kb" 'BEGIN{ printf "%.1f", k / 1024 }')
    spm=$(awk -v s="$sec" -v n="$n" 'BEGIN{ printf "%.3f", s / (n / 1e6) }')
    case $note in *" MB (stopped)") spm=- ;; *" s (stopped)") sec=">$limit"; spm=$(awk -v s="$limit" -v n="$n" 'BEGIN{ printf ">%.0f", s / (n / 1e6) }') ;; esac
  fi
  # shellcheck disable=SC2059
  printf "$fmt" "$1" "$(size_label "$n")" "$3" "$sec" "$mb" "$spm" "$bound" "$note"
}

# Results by "array|mode|bases": state and seconds.
declare -A res_state res_sec
combos=()

echo "Satellite arrays in $dir (seed $seed); each command limited to $limit s and $mem_mb MB"
echo "katrel: $katrel"
pushd "$dir" >/dev/null || exit 1
# The time of starting and stopping the program, which is in every row (and
# weighs most in the seconds per Mb of the smallest arrays).
printf '>tiny\nACGTTGCAAGGCTTACCGATAGCT\n' >"$dir/sat_tiny.fa"
measure katrel "$katrel" "$dir/sat_tiny.fa" "$dir/sat_katrel.txt"
[ "$r_state" = ok ] && echo "katrel on a 24-base record: $r_sec s"
# shellcheck disable=SC2059
printf "$fmt" input size mode seconds "peak MB" "s per Mb" "bound MB" ""

for a in $arrays; do
  if [ -z "${a_kind[$a]+x}" ]; then
    echo "unknown array $a" >&2
    continue
  fi
  list=$modes
  if [ "$peers" = 1 ] && [ -n "${a_peer[$a]+x}" ]; then
    [ "$have_trf" = 1 ] && list="$list trf"
    [ "$have_tantan" = 1 ] && list="$list tantan"
  fi
  for m in $list; do
    combos+=("$a|$m")
    stopped=""    # size label at which this array and mode was stopped
    last_n=0; last_sec=0
    for n in $sizes; do
      if [ "$m" = trf ] || [ "$m" = tantan ]; then
        case " $peer_sizes " in *" $n "*) ;; *) continue ;; esac
        p=${a_peer[$a]}
        case $m in
          trf) mode_label="TRF P=$p" ;;
          tantan) mode_label="tantan w$p" ;;
        esac
      else
        mode_label=$m
      fi
      key="$a|$m|$n"
      if [ -n "$stopped" ]; then
        res_state[$key]=skipped
        row "${a_label[$a]}" "$n" "$mode_label" - 0 "skipped (stopped at $stopped)"
        continue
      fi
      if [ "$estimate" = 1 ] && [ "$last_n" -gt 0 ] &&
        awk -v s="$last_sec" -v a="$last_n" -v b="$n" -v l="$limit" 'BEGIN{ exit !(s >= 1 && s * b / a > 1.5 * l) }'; then
        est=$(awk -v s="$last_sec" -v a="$last_n" -v b="$n" 'BEGIN{ printf "%.0f", s * b / a }')
        res_state[$key]=skipped
        row "${a_label[$a]}" "$n" "$mode_label" - 0 "skipped (>= $est s at the $(size_label "$last_n") rate)"
        continue
      fi
      f=$(array_file "$a" "$n")
      if [ ! -s "$f" ]; then
        res_state[$key]=failed
        row "${a_label[$a]}" "$n" "$mode_label" - 0 "could not generate $f"
        stopped=$(size_label "$n")
        continue
      fi
      case $m in
        trf)
          measure trf trf "$f" 2 7 7 80 10 50 "$p" -h -ngs ;;
        tantan)
          measure tantan tantan -f4 "-w$p" "$f" ;;
        *)
          # shellcheck disable=SC2086
          measure katrel "$katrel" --searchMode "$m" ${a_opts[$a]} "$f" "$dir/sat_katrel.txt" ;;
      esac
      res_state[$key]=$r_state
      res_sec[$key]=$r_sec
      case $r_state in
        ok)
          note=""
          if [ "$m" != trf ] && [ "$m" != tantan ] &&
            awk -v k="$r_kb" -v n="$n" 'BEGIN{ exit !(k / 1024 > 3 * n / 1e6 + 50) }'; then
            note="over the memory bound"
          fi
          row "${a_label[$a]}" "$n" "$mode_label" "$r_sec" "$r_kb" "$note"
          last_n=$n; last_sec=$r_sec ;;
        time)
          row "${a_label[$a]}" "$n" "$mode_label" "$r_sec" "$r_kb" "> $limit s (stopped)"
          stopped=$(size_label "$n") ;;
        mem)
          row "${a_label[$a]}" "$n" "$mode_label" "$r_sec" "$r_kb" "> $mem_mb MB (stopped)"
          stopped=$(size_label "$n") ;;
        *)
          row "${a_label[$a]}" "$n" "$mode_label" - 0 "failed (exit $r_rc): $(tail -n 1 "$dir/sat.stderr" | cut -c 1-60)"
          stopped=$(size_label "$n") ;;
      esac
    done
  done
done
popd >/dev/null || exit 1

echo
echo "Time per Mb, largest finished size against the smallest (goal: flat within a factor 2):"
printf '%-13s %-12s %16s %16s %8s  %s\n' input mode "s/Mb smallest" "s/Mb largest" ratio ""
for c in "${combos[@]}"; do
  a=${c%%|*}; m=${c#*|}
  first=""; last=""
  for n in $sizes; do
    [ "${res_state[$c|$n]:-}" = ok ] || continue
    [ -n "$first" ] || first=$n
    last=$n
  done
  case $m in
    trf) ml="TRF P=${a_peer[$a]}" ;;
    tantan) ml="tantan w${a_peer[$a]}" ;;
    *) ml=$m ;;
  esac
  if [ -z "$first" ]; then
    printf '%-13s %-12s %16s %16s %8s  %s\n' "${a_label[$a]}" "$ml" - - - "no size finished"
    continue
  fi
  awk -v l="${a_label[$a]}" -v m="$ml" -v a="$first" -v b="$last" -v sa="${res_sec[$c|$first]}" -v sb="${res_sec[$c|$last]}" \
    -v la="$(size_label "$first")" -v lb="$(size_label "$last")" 'BEGIN{
      ra = sa / (a / 1e6); rb = sb / (b / 1e6)
      if (a == b) { printf "%-13s %-12s %16s %16s %8s  %s\n", l, m, sprintf("%.3f (%s)", ra, la), "-", "-", "only " la " finished"; exit }
      r = (ra > 0 ? rb / ra : 0)
      printf "%-13s %-12s %16s %16s %8.2f  %s\n", l, m, sprintf("%.3f (%s)", ra, la), sprintf("%.3f (%s)", rb, lb), r, (r <= 2 ? "flat" : "not flat") }'
done

echo
key="pentamer_5pc|imperfect|1000000"
state=${res_state[$key]:-}
if [ -z "$state" ]; then
  echo "goal default mode on the 1 Mb 5 % pentamer array under 2 s: not measured (this run has no 1 Mb 5 % pentamer array in the default mode)"
elif [ "$state" = ok ]; then
  awk -v s="${res_sec[$key]}" 'BEGIN{ printf "goal default mode on the 1 Mb 5 %% pentamer array under 2 s: %.2f s, %s\n", s, (s < 2 ? "met" : "not met") }'
else
  echo "goal default mode on the 1 Mb 5 % pentamer array under 2 s: not met ($state)"
fi
