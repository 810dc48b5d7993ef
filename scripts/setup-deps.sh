#!/usr/bin/env bash
# Installs, from Debian's packages, everything the builds and tests need. Idempotent: on a
# machine that has them it only checks. Needs root (or sudo) the first time.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick fonts-wqy-microhei locales
    clang libclang-rt-14-dev valgrind python3
    pkg-config libpng-dev libjpeg-dev
    libpappl-dev cups-ipp-utils poppler-utils chromium
)
# The browser tests' driver runs on Node.js: Debian's, unless the machine has its own.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "installing: ${missing[*]}"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The Chinese locale, so Wine's ANSI code page is 936 and shells stop warning about it.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || true
fi
