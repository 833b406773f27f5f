#!/usr/bin/env bash
# run_fuzzers.sh [SECONDS] [TARGET...]: runs each fuzz target; an input that breaks it joins its corpus.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${QUILLMARK_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${1:-60}"
targets=("${@:2}")
[ $# -gt 1 ] || targets=(ini_file entries encryption)
mkdir -p "$build"
{ cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_FUZZ=ON \
    -DQUILLMARK_WERROR=ON && cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"; } >"$build/build.log" 2>&1 ||
    { cat "$build/build.log"; echo "The fuzz build failed." >&2; exit 1; }
failed=0
for target in "${targets[@]}"; do
    work="$build/runs/$target" # inputs found in earlier runs are kept here and tried again
    mkdir -p "$work/corpus" "$work/found"
    rm -f "$work/found/"*
    status=0
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/found/" "$work/corpus" "$here/tests/fuzz/corpus/$target" >"$work/log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    if [ "$status" -eq 0 ] && [ -z "$(ls -A "$work/found")" ]; then
        echo "fuzz_$target: ${runs:-?} runs in $seconds s, nothing found"
    else
        failed=$((failed + 1))
        tail -n 60 "$work/log"
        cp "$work/found/"* "$here/tests/fuzz/corpus/$target/" 2>/dev/null || true
        echo "fuzz_$target FAILED after ${runs:-?} runs (exit $status; the input is kept in tests/fuzz/corpus/$target/)" >&2
    fi
done
echo "fuzz: $failed of ${#targets[@]} failed"
[ "$failed" -eq 0 ]
