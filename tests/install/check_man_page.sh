#!/usr/bin/env bash
# Checks the manual page that the build writes with help2man: the headings,
# one entry per output format and per exit status of README.md, every long
# option of `katrel --help`, the version the program prints, no trace of the
# build folder, and (where groff is installed) that it formats without warnings.
#
#   check_man_page.sh KATREL MAN_PAGE BUILT README
#
# BUILT is 0 when help2man was missing at configure time: the test is then
# skipped (exit status 77).
set -u
katrel=$1
page=$2
built=$3
readme=$4

if [ "$built" != 1 ]; then
  echo "help2man was not found when the build was configured: no manual page to check"
  exit 77
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ ! -s "$page" ]; then
  echo "FAIL: $page is missing or empty"
  exit 1
fi

# section NAME: the lines of one .SH section, without its heading.
section() {
  awk -v want=".SH \"$1\"" -v bare=".SH $1" '
    /^\.SH / { inside = ($0 == want || $0 == bare); next }
    inside' "$page"
}

for heading in NAME SYNOPSIS DESCRIPTION INPUT "OUTPUT FORMATS" "MASKED COPY" "EXIT STATUS" "MPI PROGRAM"; do
  grep -q -x -e ".SH \"$heading\"" -e ".SH $heading" "$page" || fail "no section $heading"
done

formats=$(section "OUTPUT FORMATS")
for f in 0 1 2 3 4; do
  grep -q -x "\.B $f" <<<"$formats" || fail "output format $f is not described"
done

# Every status of the README's table, and no other, has an entry.
readme_statuses=$(sed -n '/^## Exit statuses/,/^## /p' "$readme" |
  awk -F'|' '/^\| *[0-9]+ *\|/ { gsub(/ /, "", $2); print $2 }' | sort -n)
page_statuses=$(section "EXIT STATUS" | sed -n 's/^\.B \([0-9][0-9]*\)$/\1/p' | sort -n)
if [ -z "$readme_statuses" ]; then
  fail "no exit statuses found in $readme"
elif [ "$readme_statuses" != "$page_statuses" ]; then
  fail "exit statuses differ from README.md: README has $(echo $readme_statuses), the page $(echo $page_statuses)"
fi

# help2man turns "--name" into "\-\-name".
for opt in $("$katrel" --help 2>/dev/null | grep -o -E -- '--[A-Za-z_]+' | sort -u); do
  grep -q -F -- "${opt//-/\\-}" "$page" || fail "option $opt of --help is missing"
done

version=$("$katrel" --version 2>/dev/null | sed -n 's/.*version: \([0-9.]*[0-9]\).*/\1/p' | head -n 1)
grep -q "^\.TH KATREL \"1\" .* \"katrel $version\"" "$page" || fail "the .TH line does not carry version $version"
grep -q -F -- "$(dirname "$katrel")" "$page" && fail "the page names the build folder $(dirname "$katrel")"
section SYNOPSIS | grep -q 'katrel\\-mpi' || fail "the synopsis does not show katrel-mpi"

if command -v groff >/dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "groff warns: $warnings"
fi

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "manual page $page: all checks passed"
