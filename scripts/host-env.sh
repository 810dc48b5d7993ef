# Sourced by the development host's scripts: the build's private Wine prefix made ready for
# pictures, and Unix paths handed to the host as Windows paths.
#   krv_host_wine BUILD_DIR ARCH   start the prefix's session and set the Wine environment
#   krv_host_fonts                 fonts the sheets need to show their Chinese text
#   krv_winpath PATH               the Windows path (drive Z:) of an absolute Unix path

krv_host_wine() {
    local build=$1 arch=$2 here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    "$here/wine-prefix.sh" up "$build/wine" "$arch"
    . "$here/wine-env.sh"
    krv_wine_env "$build/wine" "$arch"
}

# Wine's own fonts (Tahoma, Marlett for the frame buttons) and a replacement for the face the
# Chinese dialog font maps to, which Debian does not ship. Safe to run on every call.
krv_host_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
    if fc-list 2>/dev/null | grep -q "WenQuanYi Micro Hei"; then
        "$KRV_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun \
            /d "WenQuanYi Micro Hei" /f </dev/null >/dev/null 2>&1 || true
    fi
}

krv_winpath() {
    local p=$1
    echo "Z:${p//\//\\}"
}
