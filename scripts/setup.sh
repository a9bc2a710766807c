#!/usr/bin/env bash
# Installs, with apt, every Debian package that building, testing and running Tambrel needs.
# Packages already present are left alone, so a second run costs a second.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libicu-dev liburing-dev rapidjson-dev
    libgtest-dev libgmock-dev
    binutils-mingw-w64-x86-64
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine wine64 fonts-wine googletest ccache wixl msitools groff-base
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-apps x11-utils imagemagick
    sox libsox-fmt-all ffmpeg
    python3
    strace file dpkg-dev
    fonts-dejavu-core fonts-noto-cjk qt6-translations-l10n
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
