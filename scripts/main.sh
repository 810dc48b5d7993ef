#!/usr/bin/env bash
# The main command: installs what the project needs, builds everything (native, win32, win64),
# then runs the development host with the document sheet. With a display it shows the sheet
# on the screen; without one it photographs every page of both sheets under Xvfb into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup-deps.sh

for preset in native win32 win64; do
    echo "=== building $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

build="$root/build/win32"
if [ -n "${DISPLAY:-}" ]; then
    # Wine's environment moves HOME into the prefix: keep the display's authority file.
    export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
    . scripts/host-env.sh
    krv_host_wine "$build" win32
    trap '"$root/scripts/wine-prefix.sh" down "$build/wine" win32' EXIT
    krv_host_fonts
    mkdir -p out/host
    echo "=== development host: document sheet (log and record in out/host, jobs in out/jobs)"
    "$KRV_WINE" "$build/bin/krv857host.exe" --sheet document \
        --data "$(krv_winpath "$root/out/host")" --jobs "$(krv_winpath "$root/out/jobs")" \
        </dev/null
else
    echo "=== no display: screenshots of every page of both sheets into out/"
    scripts/host-shots.sh "$build" out win32
fi
