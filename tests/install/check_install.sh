#!/usr/bin/env bash
# Installs a build folder into a temporary prefix with `cmake --install` and
# checks that the programs and the manual page land where they belong and
# that the installed katrel runs.
#
#   check_install.sh CMAKE BUILD_DIR WITH_MPI WITH_MAN
#
# WITH_MPI and WITH_MAN (1 or 0) tell whether katrel-mpi and katrel.1 were built.
set -u
cmake=$1
build=$2
with_mpi=$3
with_man=$4

prefix=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$prefix" "$log"' EXIT

if ! "$cmake" --install "$build" --prefix "$prefix" >"$log" 2>&1; then
  echo "FAIL: cmake --install $build --prefix $prefix failed:"
  cat "$log"
  exit 1
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

[ -x "$prefix/bin/katrel" ] || fail "bin/katrel is not installed"
if [ "$with_mpi" = 1 ]; then
  [ -x "$prefix/bin/katrel-mpi" ] || fail "bin/katrel-mpi is not installed"
fi
if [ "$with_man" = 1 ]; then
  man_page=$prefix/share/man/man1/katrel.1
  if [ ! -f "$man_page" ]; then
    fail "share/man/man1/katrel.1 is not installed"
  elif ! cmp -s "$man_page" "$build/katrel.1"; then
    fail "the installed katrel.1 differs from $build/katrel.1"
  fi
fi

if [ -x "$prefix/bin/katrel" ]; then
  out=$("$prefix/bin/katrel" --version 2>/dev/null)
  status=$?
  [ "$status" -eq 0 ] || fail "installed katrel --version exits with $status"
  grep -q 'version: ' <<<"$out" || fail "installed katrel --version prints no version: $out"
fi

if [ "$failures" -ne 0 ]; then
  echo "installed files:"; (cd "$prefix" && find . -type f | sort)
  exit 1
fi
echo "cmake --install into a temporary prefix: all checks passed"
