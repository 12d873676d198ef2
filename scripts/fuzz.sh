#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one for
# FUZZ_SECONDS (default 60) on a scratch copy of its seed corpus, so that
# tests/ is never modified. Inputs that crash or break a check are saved in
# the scratch folder; the script then fails and names them.
#   FUZZ_SECONDS=300 make fuzz
#   FUZZ_TARGETS="pipeline" bash scripts/fuzz.sh
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-"reader pipeline"}
build=${FUZZ_BUILD:-build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/setup.sh clang libclang-rt-14-dev

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DKATREL_FUZZ=ON -DKATREL_BUILD_TESTS=OFF -DKATREL_BUILD_MPI=OFF >/dev/null
build_targets=()
for t in $targets; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j "$jobs" --target "${build_targets[@]}"

scratch=$(mktemp -d /tmp/katrel_fuzz.XXXXXX)
echo "Scratch folder (corpus, logs, failing inputs): $scratch"
failed=0
for t in $targets; do
    mkdir -p "$scratch/$t/corpus" "$scratch/$t/artifacts"
    cp tests/fuzz/corpus/"$t"/* "$scratch/$t/corpus/"
    log="$scratch/$t/fuzz.log"
    echo "Fuzzing $t for $seconds s ..."
    # The pipeline target turns the bytes after its parameters into up to
    # 2000 bases; the reader also sees inputs of a few KB.
    max_len=4096
    [ "$t" = pipeline ] && max_len=2100
    status=0
    # The targets write progress texts of the search to standard error: keep
    # them in the log. -timeout catches inputs that hang.
    (cd "$scratch/$t" && "$root/$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len="$max_len" -timeout=25 \
        -rss_limit_mb=4096 -artifact_prefix="$scratch/$t/artifacts/" corpus >"$log" 2>&1) || status=$?
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)
    if [ "$status" -ne 0 ] || [ -z "$done_line" ]; then
        failed=1
        echo "  $t FAILED (exit status $status); report:"
        grep -E 'ERROR|runtime error|katrel fuzz check failed|SUMMARY' "$log" | head -n 5 | sed 's/^/    /'
        ls "$scratch/$t/artifacts/" | sed "s|^|    input: $scratch/$t/artifacts/|"
    else
        echo "  $t: $done_line; corpus now $(ls "$scratch/$t/corpus" | wc -l) inputs"
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "Fuzzing found failures. Save each input under tests/fuzz/regressions/<target>/ and fix the cause."
    exit 1
fi
echo "Fuzzing finished without failures."
