#!/usr/bin/env bash
# End-to-end tests of katrel-mpi against the serial program. The MPI program
# pauses by design (seconds per rank and per record), so these are few.
#
#   run_mpi_test.sh KATREL KATREL_MPI DATA_DIR TEST_NAME
set -u
serial=$1
mpi=$2
data=$3
test_name=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mpirun_cmd() {
  local np=$1; shift
  mpirun --allow-run-as-root --oversubscribe -np "$np" "$mpi" "$@"
}

fail() { echo "FAIL: $*"; exit 1; }

# The summary lines name the output file; everything else must be identical.
same_report() {
  cmp -s "$1" "$2" || { diff -u "$1" "$2" | head -40; fail "$3"; }
}

case $test_name in
  two_processes)
    # One worker searches every record; the merged report is the serial one.
    cp "$data/mpi_three_records.fa" in.fa
    "$serial" in.fa serial.txt 2>/dev/null || fail "serial run"
    mpirun_cmd 2 in.fa mpi.txt >mpi.stdout 2>mpi.stderr || fail "mpi run status $?"
    sed -i 's/^# Output file name: .*//' serial.txt mpi.txt
    same_report serial.txt mpi.txt "merged report differs from the serial report"
    for k in 1 2 3; do [ -f "in.fa_temp_$k.katrel" ] || fail "missing per-record file $k"; done
    grep -q "Resieved: 3" mpi.stderr || fail "master did not receive 3"
    [ -s mpi.stdout ] && fail "workers wrote to standard output"
    ;;
  three_processes_range_exact)
    # Records alternate between two workers; only records 3 to 5 are searched.
    cp "$data/mpi_five_records.fa" in.fa
    "$serial" --searchMode exact --firstSeq 3 --lastSeq 5 in.fa serial.txt 2>/dev/null || fail "serial run"
    mpirun_cmd 3 --searchMode exact --firstSeq 3 --lastSeq 5 in.fa mpi.txt >mpi.stdout 2>mpi.stderr \
      || fail "mpi run status $?"
    sed -i 's/^# Output file name: .*//' serial.txt mpi.txt
    same_report serial.txt mpi.txt "merged exact report differs from the serial report"
    ls in.fa_temp_*.katrel | sort >files.txt
    printf 'in.fa_temp_3.katrel\nin.fa_temp_4.katrel\nin.fa_temp_5.katrel\n' >expected_files.txt
    cmp -s files.txt expected_files.txt || fail "per-record files: $(cat files.txt)"
    grep -q "Analysing sequence 3 on node 1 " mpi.stderr || fail "record 3 not on worker 1"
    grep -q "Analysing sequence 4 on node 2 " mpi.stderr || fail "record 4 not on worker 2"
    grep -q "Analysing sequence 5 on node 1 " mpi.stderr || fail "record 5 not on worker 1"
    ;;
  worker_error)
    # A worker that meets invalid input ends the job instead of leaving the
    # master waiting.
    printf '>s\nACGT\nAC1GT\n' >in.fa
    timeout 120 mpirun --allow-run-as-root --oversubscribe -np 2 "$mpi" in.fa out.txt >mpi.stdout 2>mpi.stderr
    status=$?
    [ "$status" = 124 ] && fail "the job hung"
    [ "$status" = 0 ] && fail "the job reported success"
    grep -q "File position: line 3" mpi.stderr || fail "no line-numbered message"
    ;;
  *)
    fail "unknown test $test_name"
    ;;
esac
echo "PASS: $test_name"
