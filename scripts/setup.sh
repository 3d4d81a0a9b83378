#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (once; later runs find them present).
# With --windows also the mingw-w64 cross compiler, Wine and a virtual X server for the Windows build;
# with --fuzz clang and its libFuzzer runtime.
set -euo pipefail

packages=(g++ cmake make python3 libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev qt6-base-dev
          pkg-config libudev-dev umockdev libumockdev-dev python3-serial)
if [ "${1:-}" = "--windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 xvfb xauth imagemagick xdotool)
fi
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
