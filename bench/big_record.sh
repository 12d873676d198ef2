#!/usr/bin/env bash
# Peak memory of katrel on one record of 300 Mb (random bases with planted
# repeats), in each search mode, against the budget of
# 3 x record size + 50 MB. Prints seconds, peak resident memory and the
# budget for each mode; exits 1 when a run fails or passes the budget.
#
# Settings (environment):
#   BUILD=build                              build folder holding katrel
#   BIG_RECORD_MB=300                        record length in millions of bases
#   BIG_RECORD_MODES="exact extendExact imperfect"   search modes to run (imperfect is the default mode)
#   BIG_RECORD_FASTA=/tmp/katrel_big_record.fa   the generated file (kept for later runs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
bin=$build/katrel
mb=${BIG_RECORD_MB:-300}
modes=${BIG_RECORD_MODES:-"exact extendExact imperfect"}
file=${BIG_RECORD_FASTA:-/tmp/katrel_big_record.fa}

if [ ! -x "$bin" ]; then
  echo "$bin is missing: run make build first" >&2
  exit 1
fi

bases=$((mb * 1000000))
if [ ! -f "$file" ] || [ "$(head -c 200 "$file" | head -n 1 | cut -d' ' -f1)" != ">big_$mb" ]; then
  echo "Writing a record of $bases bases to $file ..."
  python3 - "$file" "$bases" "$mb" <<'PY'
import os, random, sys
path, n, mb = sys.argv[1], int(sys.argv[2]), sys.argv[3]
rng = random.Random(12345)
table = bytes(b"ACGT"[i & 3] for i in range(256))
units = [b"AC", b"AGAT", b"T", b"GGC", b"CAGCAGCAT", b"ATTTC"]
chunk, width = 8_000_000, 80
with open(path, "wb") as out:
    out.write(b">big_%s one record of random bases with planted repeats\n" % mb.encode())
    left = n
    while left > 0:
        m = min(chunk, left)
        seq = bytearray(os.urandom(m).translate(table))
        # A short tandem repeat about every 5 kb.
        for _ in range(m // 5000):
            u = rng.choice(units)
            rep = (u * (60 // len(u) + 1))[: rng.randint(12, 60)]
            p = rng.randrange(0, max(1, m - len(rep)))
            seq[p : p + len(rep)] = rep
        mv = memoryview(seq)
        out.write(b"\n".join(mv[i : i + width] for i in range(0, m, width)))
        out.write(b"\n")
        left -= m
PY
fi

size=$(stat -c %s "$file")
# Megabytes of 10^6 bytes throughout; /usr/bin/time reports KiB.
budget_mb=$((3 * bases / 1000000 + 50))
printf 'File: %s (%d bytes, %d bases in one record)\n' "$file" "$size" "$bases"
printf '%-10s %10s %12s %12s  %s\n' mode seconds "peak MB" "budget MB" result
status=0
for mode in $modes; do
  stats=$(mktemp)
  run_status=0
  /usr/bin/time -o "$stats" -f '%e %M' "$bin" --searchMode "$mode" "$file" /dev/null >/dev/null 2>&1 || run_status=$?
  read -r secs peak_kb < <(tail -n 1 "$stats")
  rm -f "$stats"
  if [ "$run_status" -ne 0 ]; then
    printf '%-10s run failed with exit status %d\n' "$mode" "$run_status"
    status=1
    continue
  fi
  peak_mb=$((peak_kb * 1024 / 1000000))
  verdict=ok
  if [ "$peak_mb" -gt "$budget_mb" ]; then
    verdict="OVER BUDGET"
    status=1
  fi
  printf '%-10s %10s %12d %12d  %s\n' "$mode" "$secs" "$peak_mb" "$budget_mb" "$verdict"
done
exit $status
