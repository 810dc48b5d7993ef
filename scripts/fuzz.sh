#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset), writes their seed corpora and runs every
# target (or the ones named) for a while each. A finding (crash, leak, sanitizer report,
# timeout, a single allocation over 256 MiB) fails the run; the input that caused it is left
# in build/fuzz/findings/<target>/ and the log in build/fuzz/logs/<target>.log.
#
#   scripts/fuzz.sh [-t SECONDS] [-j PARALLEL] [TARGET...]
#     -t  seconds per target (default 600: the development run)
#     -j  targets run side by side (default 1)
# CI runs a short smoke: scripts/fuzz.sh -t 20.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=600
parallel=1
while getopts "t:j:h" opt; do
    case $opt in
        t) seconds=$OPTARG ;;
        j) parallel=$OPTARG ;;
        *) sed -n '2,11p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

build=build/fuzz
cmake --preset fuzz -DKRV_WERROR=ON >/dev/null
cmake --build --preset fuzz
python3 scripts/make-fuzz-corpus.py "$build/corpus" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
mkdir -p "$build/logs"

run_one() {
    local target=$1
    local findings="$build/findings/$target"
    mkdir -p "$findings" "$build/corpus/$target"
    if "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$build/corpus/$target" >"$build/logs/$target.log" 2>&1; then
        local runs
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log")
        echo "$target: ${runs:-?} executions in ${seconds} s, no finding"
    else
        echo "$target: FINDING (see $build/logs/$target.log and $findings/)"
        return 1
    fi
}

status=0
running=0
for target in "${targets[@]}"; do
    if [ ! -x "$build/$target" ]; then
        echo "$target: no such fuzz target"
        status=1
        continue
    fi
    run_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
exit $status
