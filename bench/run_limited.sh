# Sourced by the benchmark scripts: run_once, one run of a command under a
# time limit ($limit seconds) and a memory limit ($mem_mb MB), with its
# files in $dir named after $run_tag.
#
# run_once TOOL COMMAND...: one run under the limits, from inside $dir.
# Sets r_state (ok, time, mem or fail), r_sec, r_kb (peak resident KiB), r_rc.
run_once() {
  local tool=$1; shift
  local t0 t1 rc
  rm -f "$dir/$run_tag.time"
  t0=$EPOCHREALTIME
  (
    ulimit -v $((mem_mb * 1024))
    exec /usr/bin/time -o "$dir/$run_tag.time" -f '%e %M' timeout -k 5 "$limit" "$@"
  ) >"$dir/$run_tag.stdout" 2>"$dir/$run_tag.stderr"
  rc=$?
  t1=$EPOCHREALTIME
  r_sec=$(awk -v a="$t0" -v b="$t1" 'BEGIN{ printf "%.3f", b - a }')
  r_kb=$(tail -n 1 "$dir/$run_tag.time" 2>/dev/null | awk '{ print $2 + 0 }')
  [ -n "$r_kb" ] || r_kb=0
  if [ "$rc" = 124 ] || { [ "$rc" = 137 ] && awk -v s="$r_sec" -v l="$limit" 'BEGIN{ exit !(s >= l) }'; }; then
    r_state="time"
  elif grep -qiE 'alloc|out of memory|memory exhausted' "$dir/$run_tag.stderr"; then
    r_state=mem
  elif [ "$rc" != 0 ] && [ "$tool" != trf ]; then
    # TRF's exit status is not 0 when it succeeds.
    r_state=fail
  else
    r_state=ok
  fi
  r_rc=$rc
}
