#!/usr/bin/env bash
# Runs every test: the portable core natively, then the 32-bit and the 64-bit plug-in DLL
# with their Windows tests under Wine. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

status=0
for preset in native win32 win64; do
    echo "=== $preset"
    cmake --preset "$preset" -DKRV_WERROR=ON >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" --timeout 600 || status=1
done

# The sanitizer suite (clang AddressSanitizer/UndefinedBehaviorSanitizer tests, valgrind over
# the native tests just built) and a short smoke of every fuzz target, 20 s each.
echo "=== sanitizers"
bash scripts/sanitize.sh -n build/native || status=1
echo "=== fuzz smoke"
bash scripts/fuzz.sh -t 20 || status=1
exit $status
