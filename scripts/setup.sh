#!/usr/bin/env bash
# Installs the Debian packages a command needs (once; later runs find them present).
# Usage: scripts/setup.sh [--tests] [--windows] [--packaging] [--virtual-display]
#   (none)             what the window and velmaro-list need to build and run
#   --tests            GoogleTest, Google Benchmark, umockdev and pyserial for the Linux tests
#   --windows          the mingw-w64 cross compiler, Wine and a virtual X server for the Windows build
#   --packaging        the tools that make and check the packages (scdoc, dpkg-dev, lintian, NSIS, …)
#   --virtual-display  Xvfb, for a window without a display
#   --fuzz             clang and its libFuzzer runtime
set -euo pipefail

packages=(g++ cmake make python3 nlohmann-json3-dev libcli11-dev qt6-base-dev pkg-config libudev-dev)
for option in "$@"; do
    case "$option" in
    --tests) packages+=(libgtest-dev libgmock-dev libbenchmark-dev umockdev libumockdev-dev python3-serial python3-jsonschema
                        fonts-dejavu-core) ;;
    --windows) packages+=(libgtest-dev libgmock-dev g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 xvfb xauth imagemagick xdotool) ;;
    --packaging) packages+=(scdoc dpkg-dev fakeroot lintian appstream desktop-file-utils man-db nsis file
                            xvfb xauth openbox imagemagick xdotool) ;;
    --virtual-display) packages+=(xvfb xauth) ;;
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "setup.sh: unknown option $option" >&2; exit 2 ;;
    esac
done

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
