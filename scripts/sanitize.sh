#!/usr/bin/env bash
# The sanitizer suite. First the native tests built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer (the `asan` preset) and run through CTest; then every native test
# executable of a plain native build run under valgrind, a sample of krv857 commands (bad
# inputs and outputs, pictures of each kind, jobs decoded), where any error or definite leak
# fails the run, and the printer application's job set with its server under valgrind.
#
#   scripts/sanitize.sh [-a ASAN_BUILD_DIR] [-n NATIVE_BUILD_DIR] [-s asan|valgrind]
#     -a  build folder of the sanitizer build (default: the preset's, build/asan)
#     -n  native build folder whose unit_* executables and krv857 valgrind runs (default
#         build/native; configured and built here when it is missing)
#     -s  run only one of the two stages
set -euo pipefail
cd "$(dirname "$0")/.."

asan_dir=build/asan
native_dir=build/native
only=""
while getopts "a:n:s:h" opt; do
    case $opt in
        a) asan_dir=$OPTARG ;;
        n) native_dir=$OPTARG ;;
        s) only=$OPTARG ;;
        *) sed -n '2,13p' "$0"; exit 2 ;;
    esac
done

status=0

if [ "$only" != valgrind ]; then
    echo "=== asan"
    cmake --preset asan -B "$asan_dir" -DKRV_WERROR=ON >/dev/null
    cmake --build "$asan_dir" -j2
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$asan_dir" --output-on-failure -j2 --timeout 900 || status=1
fi

if [ "$only" != asan ]; then
    echo "=== valgrind"
    if [ ! -f "$native_dir/CMakeCache.txt" ]; then
        cmake --preset native -B "$native_dir" -DKRV_WERROR=ON >/dev/null
    fi
    cmake --build "$native_dir" -j2
    for test in "$native_dir"/unit_*; do
        [ -x "$test" ] || continue
        start=$SECONDS
        if valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
            --suppressions=scripts/valgrind-gtest.supp \
            "$test" --gtest_brief=1 >"$test.valgrind.log" 2>&1; then
            echo "$(basename "$test"): clean ($((SECONDS - start)) s)"
        else
            echo "$(basename "$test"): FAILED under valgrind, see $test.valgrind.log"
            tail -n 60 "$test.valgrind.log"
            status=1
        fi
    done
    bash scripts/tool-sample.sh "$native_dir/krv857" || status=1
    # The printer application's job set once more, with the server under valgrind.
    if [ -x "$native_dir/krv857-printer" ]; then
        start=$SECONDS
        if python3 tests/printerapp/ipp_jobs_test.py "$native_dir" --valgrind \
            >"$native_dir/printerapp.valgrind.log" 2>&1; then
            echo "krv857-printer job set: clean ($((SECONDS - start)) s)"
        else
            echo "krv857-printer job set: FAILED under valgrind, see" \
                "$native_dir/printerapp.valgrind.log"
            # The run's own report names the failing cases and ends with the server's logs.
            tail -n 120 "$native_dir/printerapp.valgrind.log"
            status=1
        fi
    fi
fi
exit $status
