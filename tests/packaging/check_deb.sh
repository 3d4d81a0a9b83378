#!/usr/bin/env bash
# The .deb from scripts/package.sh deb: lintian, then installed with dpkg into a throw-away root
# (never this machine), and what a user gets from it checked there.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/packaging/checks.sh
version=$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/packages/velmaro_${version}_amd64.deb
[ -f "$deb" ] || { fail "package $deb exists"; exit 1; }

# Lintian: no errors, and every warning one that the README lists with its reason.
tags=$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)
check_equal "lintian reports no errors" "" "$(grep '^E:' <<<"$tags" || true)"
warnings=$(sed -n 's/^W: velmaro[^:]*: \([a-z0-9-]*\).*/\1/p' <<<"$tags" | sort -u)
kept=$(sed -n '/^<!-- lintian warnings kept -->/,/^$/s/^- `\([a-z0-9-]*\)`.*/\1/p' README.md | sort -u)
check_same_lines "lintian warnings are those the README explains" "$kept" "$warnings"

check_equal "package name, version, architecture" "velmaro $version amd64" \
    "$(dpkg-deb -f "$deb" Package Version Architecture | sed 's/^[A-Za-z]*: //' | tr '\n' ' ' | sed 's/ $//')"
depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies computed from the programs (Qt, udev, libc)" \
    grep -q 'libqt6widgets6.*libudev1\|libudev1.*libqt6widgets6' <<<"$depends"
check "dependencies name libc6" grep -q 'libc6 (>=' <<<"$depends"

root=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-root.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The root is empty, so the dependencies are not there; this machine's own libraries serve the runs.
dpkg_root=(dpkg --root="$root" --log=/dev/null --force-depends --force-not-root --force-bad-path)
check "dpkg -i into a throw-away root" "${dpkg_root[@]}" -i "$deb"

expected_files="/usr/bin/velmaro
/usr/bin/velmaro-list
/usr/share/applications/velmaro.desktop
/usr/share/bash-completion/completions/velmaro-list
/usr/share/doc/velmaro/changelog.gz
/usr/share/doc/velmaro/copyright
/usr/share/icons/hicolor/16x16/apps/velmaro.png
/usr/share/icons/hicolor/32x32/apps/velmaro.png
/usr/share/icons/hicolor/48x48/apps/velmaro.png
/usr/share/icons/hicolor/64x64/apps/velmaro.png
/usr/share/icons/hicolor/128x128/apps/velmaro.png
/usr/share/icons/hicolor/256x256/apps/velmaro.png
/usr/share/icons/hicolor/scalable/apps/velmaro.svg
/usr/share/man/man1/velmaro.1.gz
/usr/share/man/man1/velmaro-list.1.gz
/usr/share/metainfo/example.velmaro.Velmaro.metainfo.xml
/usr/share/velmaro/Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm
/usr/share/velmaro/scenarios/double-assignments.json
/usr/share/velmaro/scenarios/empty.json
/usr/share/velmaro/scenarios/many-ports.json
/usr/share/velmaro/scenarios/missing-drivers.json
/usr/share/velmaro/scenarios/typical-desktop.json"
listed=$("${dpkg_root[@]}" -L velmaro | while read -r f; do [ -f "$root$f" ] && echo "$f"; done)
check_same_lines "installed files" "$expected_files" "$listed"

usr=$root/usr
check "binaries are stripped" sh -c "file -L '$usr/bin/velmaro' '$usr/bin/velmaro-list' | grep -c ', stripped' | grep -qx 2"
for size in 16 32 48 64 128 256; do
    check "icon ${size}x$size is a ${size} x $size PNG" \
        grep -q "PNG image data, $size x $size," <(file "$usr/share/icons/hicolor/${size}x$size/apps/velmaro.png")
done
check "scalable icon is SVG" grep -q '<svg ' "$usr/share/icons/hicolor/scalable/apps/velmaro.svg"

desktop=$usr/share/applications/velmaro.desktop
check "desktop-file-validate" desktop-file-validate "$desktop"
check_equal "desktop entry starts an installed program" "$usr/bin/velmaro" \
    "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | sed "s|^|$usr/bin/|")"
check "desktop entry's icon is installed" test -f "$usr/share/icons/hicolor/256x256/apps/$(sed -n 's/^Icon=//p' "$desktop").png"
check_equal "desktop entry: German comment, English fallback, category" \
    "Comment=Lists the COM ports of this PC and the cables behind them|Comment[de]=Zeigt alle verfügbaren COM Ports und die Kabel dahinter an|Categories=System;HardwareSettings;" \
    "$(grep -E '^(Comment|Comment\[de\]|Categories)=' "$desktop" | paste -sd'|')"
metainfo=$usr/share/metainfo/example.velmaro.Velmaro.metainfo.xml
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"
check "metainfo launches the installed desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo"

for page in velmaro velmaro-list; do
    text=$(MANWIDTH=80 man -l "$usr/share/man/man1/$page.1.gz" 2>&1 || true)
    check "man -l renders $page(1)" grep -q "^NAME" <<<"$text"
    check "$page(1) names its program and options" grep -q -- "--version" <<<"$text"
done

# The completion offers exactly the options velmaro-list accepts.
offered=$(bash -c 'source "$1"; COMP_WORDS=(velmaro-list --); COMP_CWORD=1; _velmaro_list; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$usr/share/bash-completion/completions/velmaro-list")
accepted=$("$usr/bin/velmaro-list" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
check_same_lines "completion offers velmaro-list's options" "$accepted" "$offered"
after_json=$(bash -c 'source "$1"; COMP_WORDS=(velmaro-list --json -); COMP_CWORD=2; _velmaro_list; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$usr/share/bash-completion/completions/velmaro-list")
check "completion leaves out --dump after --json" test -n "$after_json" -a "$(grep -c -- --dump <<<"$after_json")" = 0

# The installed programs run, from the installed tree.
check_equal "installed velmaro-list --version" "velmaro-list $version" "$("$usr/bin/velmaro-list" --version)"
check "installed velmaro-list lists a shipped scenario as the tests expect" python3 tests/cli/check_cli.py json \
    "$usr/bin/velmaro-list" "$usr/share/velmaro/scenarios/double-assignments.json" \
    tests/cli/expected/double-assignments.json
check_equal "installed velmaro --version without a display" "velmaro $version" \
    "$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/velmaro" --version 2>&1)"
check "installed velmaro --help without a display" \
    sh -c "env -u DISPLAY -u WAYLAND_DISPLAY '$usr/bin/velmaro' --help | grep -q -- --scenario"
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/velmaro" --scenario "$root/nowhere.json" >/dev/null 2>&1 || rc=$?
check_equal "installed velmaro exits 2 on a missing scenario" 2 "$rc"

# The window from its desktop entry, on a virtual display with a window manager: it shows, finds
# its help pages in the installed tree, and leaves a screenshot.
tests/packaging/installed_window.sh "$root" "$desktop" build/packages/velmaro-installed.png || failures=$((failures + $?))

"${dpkg_root[@]}" -r velmaro >/dev/null 2>&1 || true
check_equal "dpkg -r removes every file" "" "$(find "$root/usr" -type f 2>/dev/null)"
exit "$failures"
