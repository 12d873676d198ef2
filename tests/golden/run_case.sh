#!/usr/bin/env bash
# Runs one golden end-to-end case: the katrel binary with the arguments of
# CASE/args, in a fresh temporary copy of CASE, and compares standard output,
# standard error (clock digits masked), the exit status and any produced file
# named by an expected_file.NAME ("__" standing for "/") with the expected files, byte for byte.
#
#   run_case.sh BINARY CASE_DIR
#
# KATREL_UPDATE_GOLDEN=1 rewrites the expected files from the actual output.
# KATREL_GOLDEN_PREPEND holds arguments put before the case's own (the
# thread-count runs give "--threads N": the expected files are the same).
# On a mismatch the actual output is written beside the expected one as
# actual_* and a diff is printed.
set -u
bin=$1
case_dir=$2
name=$(basename "$case_dir")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$case_dir"/. "$work"/
rm -f "$work"/expected_* "$work"/actual_* "$work"/inputs
# Shared input files: each line of CASE/inputs names a file of tests/data/inputs.
if [ -f "$case_dir/inputs" ]; then
  while read -r f; do
    [ -n "$f" ] && cp "$case_dir/../../inputs/$f" "$work/"
  done <"$case_dir/inputs"
fi
cd "$work"

args=$(cat "$case_dir/args")
eval "set -- ${KATREL_GOLDEN_PREPEND:-} $args"
prog=${KATREL_PROGRAM_NAME:-katrel}
(exec -a "$prog" "$bin" "$@") >"$work/.stdout" 2>"$work/.stderr" </dev/null
status=$?
echo "$status" >"$work/.status"

# Progress lines carry the elapsed time as HH.MM.SS.
sed -E -i 's/^[0-9]{2,}\.[0-9]{2}\.[0-9]{2} - #/HH.MM.SS - #/' "$work/.stderr"

fail=0
compare() {  # compare ACTUAL EXPECTED_NAME
  local actual=$1 expected="$case_dir/$2"
  if [ "${KATREL_UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$actual" "$expected"
    return
  fi
  if [ ! -f "$expected" ]; then
    echo "[$name] missing expected file $2"
    fail=1
    return
  fi
  if ! cmp -s "$actual" "$expected"; then
    echo "[$name] $2 differs:"
    diff -u "$expected" "$actual" | head -n 60
    cp "$actual" "$case_dir/actual_${2#expected_}"
    fail=1
  fi
}

compare "$work/.stdout" expected_stdout
compare "$work/.stderr" expected_stderr
compare "$work/.status" expected_status
for f in "$case_dir"/expected_file.*; do
  [ -e "$f" ] || continue
  produced=${f##*/expected_file.}
  produced=${produced//__//}   # "__" in the name stands for a folder separator
  if [ -f "$work/$produced" ]; then
    compare "$work/$produced" "${f##*/}"
  else
    echo "[$name] expected file $produced was not written"
    fail=1
  fi
done

if [ "$fail" = 0 ]; then
  rm -f "$case_dir"/actual_*
fi
exit $fail
