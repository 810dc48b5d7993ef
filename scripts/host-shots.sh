#!/usr/bin/env bash
# A screenshot of every page of both sheets, taken by the development host under Xvfb.
#   host-shots.sh BUILD_DIR OUT_DIR [ARCH]
# BUILD_DIR is a Windows build (bin/krv857host.exe, bin/krv857ui.dll); ARCH win32 (default)
# or win64. Writes OUT_DIR/<sheet>-<page index>-<template>.png, the host's logs to
# OUT_DIR/host and any job the pages send to OUT_DIR/jobs. The sheets are closed with Cancel,
# so the kept record is not changed.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: host-shots.sh BUILD_DIR OUT_DIR [win32|win64]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
arch=${3:-win32}
host="$build/bin/krv857host.exe"
[ -f "$host" ] || { echo "no $host: build the $arch preset first" >&2; exit 1; }

. "$here/host-env.sh"
krv_host_wine "$build" "$arch"
trap '"$here/wine-prefix.sh" down "$build/wine" "$arch"' EXIT
krv_host_fonts

shots=$(mktemp -d "$out/.shots.XXXXXX")
mkdir -p "$out/host"
status=0
for sheet in document printer; do
    log="$out/host/shots-$sheet.log"
    rm -f "$log"
    # Output detached: a Wine service that inherits a pipe of the caller keeps it open.
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        "$KRV_WINE" explorer /desktop=shot,1024x768 "$host" --sheet "$sheet" --visit-all \
        --shots "$(krv_winpath "$shots")" --cancel --data "$(krv_winpath "$out/host")" \
        --jobs "$(krv_winpath "$out/jobs")" --log "$(krv_winpath "$log")" \
        </dev/null >/dev/null 2>&1 || true
    if ! grep -q '^exit 0$' "$log" 2>/dev/null; then
        echo "host-shots: the $sheet sheet did not run; see $log" >&2
        status=1
    fi
done

count=0
for bmp in "$shots"/*.bmp; do
    [ -f "$bmp" ] || continue
    name=$(basename "$bmp" .bmp)
    /usr/bin/convert "$bmp" "$out/$name.png"
    echo "$out/$name.png"
    count=$((count + 1))
done
rm -rf "$shots"
[ "$count" -eq 11 ] || { echo "host-shots: $count screenshots, expected 11" >&2; status=1; }
exit $status
