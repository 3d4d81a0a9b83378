#!/usr/bin/env bash
# Makes Velmaro's packages from Release builds of their own into build/packages/.
# Usage: scripts/package.sh deb|windows|all
#   deb      velmaro_<version>_amd64.deb (build/package-deb)
#   windows  Velmaro-Setup-<version>.exe and Velmaro-<version>-win64.zip (build/package-windows)
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-}
case "$what" in
deb | windows | all) ;;
*) echo "usage: scripts/package.sh deb|windows|all" >&2; exit 2 ;;
esac

out=build/packages
mkdir -p "$out"
version=$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Release builds without tests or benchmarks; -Werror stays off as for any packager.
release=(-DCMAKE_BUILD_TYPE=Release -DVELMARO_TESTS=OFF -DVELMARO_BENCHMARKS=OFF)

make_deb() {
    scripts/setup.sh --packaging
    local dir=build/package-deb
    # Debian's hardening flags (stack protector, fortify, relro), as a Debian build would use.
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B "$dir" "${release[@]}" -DCMAKE_INSTALL_PREFIX=/usr
    cmake --build "$dir" -j 2
    (cd "$dir" && cpack -G DEB)
    mv -f "$dir/velmaro_${version}_amd64.deb" "$out/"
    echo "package.sh: $out/velmaro_${version}_amd64.deb"
}

make_windows() {
    scripts/setup.sh --windows --packaging
    local dir=build/package-windows stage=build/package-windows/stage
    cmake -S . -B "$dir" "${release[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
    cmake --build "$dir" -j 2 --target Velmaro velmaro-list
    rm -rf "$stage"
    cmake --install "$dir" --prefix "$stage" --strip
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" \
        -DICON="$(realpath resources/images/velmaro.ico)" \
        -DOUTFILE="$(realpath "$out")/Velmaro-Setup-$version.exe" packaging/windows/velmaro.nsi
    local zip
    zip=$(realpath "$out")/Velmaro-$version-win64.zip
    rm -f "$zip"
    (cd "$stage" && cmake -E tar cf "$zip" --format=zip Velmaro.exe velmaro-list.exe Hilfe)
    echo "package.sh: $out/Velmaro-Setup-$version.exe"
    echo "package.sh: $out/Velmaro-$version-win64.zip"
}

case "$what" in
deb) make_deb ;;
windows) make_windows ;;
all) make_deb; make_windows ;;
esac
