#!/bin/bash
# Installs what building and testing need on a fresh Debian 12 machine (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
    cmake ninja-build g++ pkg-config make        # host build
    python3 file                                 # test scripts (message texts from the tables, file types)
    libgtest-dev libgmock-dev                    # unit tests
    libmsi-dev libgsf-1-dev msitools wixl gcab   # compound files, sample packages and products
    g++-mingw-w64-i686 binutils-mingw-w64-i686   # the Windows build
    wine wine32:i386 xvfb xdotool imagemagick    # end-to-end runs under Wine, screenshots
    fonts-ipafont-gothic                         # Japanese text in the screenshots
    clang libclang-rt-14-dev                     # fuzzing
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    # With the recommended packages, as the suites were proven with (wine needs some of them).
    apt-get install -y -q "${missing[@]}"
fi
