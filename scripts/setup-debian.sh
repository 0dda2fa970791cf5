#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
# Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev liberfa-dev tzdata
    libx11-dev libxrandr-dev libxinerama-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    libfreetype-dev libfontconfig-dev fonts-liberation libpng-dev libjpeg-dev
    libxdamage-dev xvfb xserver-xephyr xauth xdotool x11-utils procps
    libgtk-3-dev imagemagick xdg-utils
    # The desktop programs the saver runs under, and the Debian package's tools.
    xscreensaver xscreensaver-data xsecurelock x11-xserver-utils
    dpkg-dev fakeroot lintian file
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
