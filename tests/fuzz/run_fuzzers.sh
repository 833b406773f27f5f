#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for SECONDS (default 60), starting from its corpus in tests/fuzz/corpus/.
# Fails when a target crashes, leaks, hangs or breaks one of its properties; the input
# that did it is copied into tests/fuzz/corpus/<target>/ so that every later run tries it
# first. tools/dev.sh fuzz installs clang and then runs this.
#
#   tests/fuzz/run_fuzzers.sh [SECONDS] [TARGET...]     targets: ini_file entries encryption
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="${QUILLMARK_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini_file entries encryption)

if ! command -v clang++ >/dev/null; then
    echo "clang++ is missing: run 'bash tools/dev.sh fuzz' to install it." >&2
    exit 1
fi

mkdir -p "$build"
log="$build/build.log"
if ! { cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLMARK_FUZZ=ON -DQUILLMARK_WERROR=ON &&
    cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"; } >"$log" 2>&1; then
    cat "$log"
    echo "The fuzz build failed (log: $log)." >&2
    exit 1
fi

passed=0
failed=0
for target in "${targets[@]}"; do
    seeds="$here/tests/fuzz/corpus/$target"
    work="$build/runs/$target"
    # Inputs found in earlier runs are kept in the build folder and tried again.
    mkdir -p "$work/corpus" "$work/found"
    rm -f "$work/found/"*
    status=0
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/found/" "$work/corpus" "$seeds" \
        >"$work/log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    found=("$work/found/"*)
    if [ "$status" -eq 0 ] && [ ! -e "${found[0]}" ]; then
        echo "fuzz_$target: ${runs:-?} runs in ${seconds} s, nothing found"
        passed=$((passed + 1))
        continue
    fi
    failed=$((failed + 1))
    tail -n 60 "$work/log"
    for input in "${found[@]}"; do
        [ -e "$input" ] || continue
        cp "$input" "$seeds/"
        echo "fuzz_$target: kept $(basename "$input") in tests/fuzz/corpus/$target/" >&2
    done
    echo "fuzz_$target FAILED after ${runs:-?} runs (exit $status; log: $work/log)" >&2
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
