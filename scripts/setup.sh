#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any are missing;
# packages given as arguments are wanted too (the browser build names its own).
set -euo pipefail

packages=(
    build-essential cmake g++ clang clang-format pkg-config
    libpng-dev zlib1g-dev libfreetype-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libmpfr-dev libgmp-dev
    qt6-base-dev qt6-multimedia-dev libqt6printsupport6 libqt6svg6
    xvfb xauth fonts-dejavu-core xdotool xclip poppler-utils imagemagick
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
