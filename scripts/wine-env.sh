# Sourced by the Wine scripts: a quiet private Wine session inside one folder.
#   krv_wine_env PREFIX ARCH     (ARCH: win32 or win64)
krv_wine_env() {
    local prefix=$1 arch=$2
    mkdir -p "$prefix/home" "$prefix/tmp"
    export WINEPREFIX="$prefix/pfx"
    export WINEARCH="$arch"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export HOME="$prefix/home"
    export XDG_CONFIG_HOME="$prefix/home/.config"
    export XDG_DATA_HOME="$prefix/home/.local/share"
    export XDG_CACHE_HOME="$prefix/home/.cache"
    export XDG_RUNTIME_DIR="$prefix/tmp"
    export TMPDIR="$prefix/tmp"
    # Code page 936: the Chinese captions and the ANSI bytes the printer receives.
    export LC_ALL=zh_CN.UTF-8
    if [ "$arch" = win64 ]; then KRV_WINE=wine64; else KRV_WINE=wine; fi
    command -v "$KRV_WINE" >/dev/null 2>&1 || KRV_WINE=wine
    export KRV_WINE
}
