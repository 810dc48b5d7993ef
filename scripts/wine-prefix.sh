#!/usr/bin/env bash
# Makes, warms and stops the build's private Wine prefix.
#   wine-prefix.sh up   PREFIX ARCH   create it if missing, start a warm wineserver
#   wine-prefix.sh down PREFIX ARCH   stop the wineserver
# Every Wine process started here has its output detached: a Wine service that inherits a
# pipe of CTest or CI keeps it open and hangs the run.
set -u
action=$1 prefix=$2 arch=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
krv_wine_env "$prefix" "$arch"

quiet() { "$@" </dev/null >/dev/null 2>&1; }

create() {
    quiet wineboot -i
    quiet wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
        [ -f "$f" ] && cp -n "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    quiet "$KRV_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f
    quiet "$KRV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    quiet wineserver -w
    touch "$prefix/.ready-$arch"
}

case $action in
up)
    (
        flock 9
        # The lock's descriptor is closed for every Wine process: a wineserver that kept it
        # would hold the lock for as long as it runs, and the next `up` would wait for ever.
        [ -f "$prefix/.ready-$arch" ] || create 9>&-
        quiet wineserver -p 9>&-
        quiet "$KRV_WINE" cmd /c exit 9>&-
    ) 9>"$prefix.lock"
    [ -f "$prefix/.ready-$arch" ] || { echo "wine prefix $prefix could not be made" >&2; exit 1; }
    ;;
down)
    quiet wineserver -k
    ;;
*)
    echo "usage: wine-prefix.sh up|down PREFIX ARCH" >&2
    exit 2
    ;;
esac
exit 0
