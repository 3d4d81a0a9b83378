#!/usr/bin/env bash
# The Windows setup from scripts/package.sh windows, run silently under Wine in a fresh prefix:
# installed files, Start-menu shortcut, Uninstall entry, the installed lister, an upgrade from an
# older setup and a reinstall over itself, and a silent uninstall that leaves nothing behind.
# Then the zip: exactly the expected files.
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ -z "${VELMARO_ON_XVFB:-}" ]; then
    VELMARO_ON_XVFB=1 exec scripts/wine/display.sh "$0" "$@"
fi
source tests/packaging/checks.sh
source scripts/wine/prefix.sh
version=$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$(realpath "build/packages/Velmaro-Setup-$version.exe")
zip=build/packages/Velmaro-$version-win64.zip
work=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-setup.XXXXXX")
trap 'wine_prefix_drop; rm -rf "$work"' EXIT

# The zip: the two programs and the help folder, nothing else.
check_same_lines "the zip holds exactly the programs and Hilfe" "Velmaro.exe
velmaro-list.exe
Hilfe/
Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm" "$(unzip -Z1 "$zip")"

# An older version's setup, from the same files plus one that the newer version no longer has.
mkdir -p "$work/stage"
unzip -q "$zip" -d "$work/stage"
echo old >"$work/stage/Hilfe/Alt.htm"
check "an older setup (1.0.6) builds" makensis -V1 -INPUTCHARSET UTF8 -DVERSION=1.0.6 -DSTAGE="$work/stage" \
    -DICON="$(realpath resources/images/velmaro.ico)" -DOUTFILE="$work/Velmaro-Setup-1.0.6.exe" packaging/windows/velmaro.nsi

wine_prefix_new
dir="$WINEPREFIX/drive_c/Program Files/Velmaro"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmaro.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro'

# reg_value NAME: the value's data in the Uninstall key, "" when there is none.
reg_value() {
    "$WINE" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
installed_files() {
    (cd "$dir" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
}
windows_path() {
    echo "Z:$(realpath "$1" | tr / '\\')"
}
# install SETUP: silent, waits for it; the exit code is the setup's.
install() {
    "$WINE" "$1" /S
}

# What a user sees of the machine: programs, shared and per-user folders, without the temporary
# folders (the uninstaller runs from a copy there, which Windows clears later).
user_visible_files() {
    (cd "$WINEPREFIX/drive_c" && find "Program Files" ProgramData users -path '*/Temp' -prune -o -print | sort)
}
before=$(user_visible_files)

check "the older setup installs silently" install "$work/Velmaro-Setup-1.0.6.exe"
check_equal "older version registered" "1.0.6" "$(reg_value DisplayVersion)"

check "setup /S over the older version" install "$setup"
expected="Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm
Uninstall.exe
Velmaro.exe
velmaro-list.exe"
check_same_lines "installed files in Program Files (the older version's extra page gone)" "$expected" "$(installed_files)"
check "Start-menu shortcut for all users" test -s "$shortcut"
check "the shortcut points at the installed program" grep -aq 'Velmaro\.exe' "$shortcut"
check_equal "Uninstall entry: DisplayName" "Velmaro" "$(reg_value DisplayName)"
check_equal "Uninstall entry: DisplayVersion" "$version" "$(reg_value DisplayVersion)"
check_equal "Uninstall entry: Publisher" "Velmaro" "$(reg_value Publisher)"
check_equal "Uninstall entry: DisplayIcon" 'C:\Program Files\Velmaro\Velmaro.exe,0' "$(reg_value DisplayIcon)"
check_equal "Uninstall entry: UninstallString" '"C:\Program Files\Velmaro\Uninstall.exe"' "$(reg_value UninstallString)"
check_equal "the installed velmaro-list.exe --version" "velmaro-list $version" \
    "$("$WINE" "$dir/velmaro-list.exe" --version | tr -d '\r')"
# The lister's own JSON check, through a stand-in that runs the installed program under Wine.
printf '#!/usr/bin/env bash\nset -o pipefail\n"%s" "%s" "$@" | tr -d "\\r"\n' "$WINE" "$dir/velmaro-list.exe" >"$work/velmaro-list"
chmod +x "$work/velmaro-list"
check "the installed velmaro-list.exe lists a scenario" python3 tests/cli/check_cli.py json \
    "$work/velmaro-list" "$(windows_path scenarios/double-assignments.json)" tests/cli/expected/double-assignments.json

# The installed window under Wine finds its help pages: a click on the Siemens cable's row (row 2 of
# the scenario), then "Ja"; without its page the dialog would stay open under "Hilfedatei nicht
# gefunden". A stand-in xdg-open keeps Wine's browser from reaching a real one on the host.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
check "the window probe builds" x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -municode -static \
    tests/wine/e2e/probe.cpp -o "$work/probe.exe" -lgdi32 -luser32
probe() { "$WINE" "$work/probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
PATH="$work/bin:$PATH" "$WINE" "$dir/Velmaro.exe" --scenario "$(windows_path scenarios/missing-drivers.json)" \
    >/dev/null 2>&1 &
for _ in $(seq 60); do
    probe rows "Velmaro Version*" | grep -q "Siemens USB Datenkabel mit Treiberproblem" && break
    sleep 0.5
done
import -window root build/packages/velmaro-wine-installed.png
check_equal "the installed Velmaro.exe shows its window" "Velmaro Version $version vom 29.05.2007" \
    "$(probe title "Velmaro Version*")"
probe click "Velmaro Version*" 2 >/dev/null
for _ in $(seq 30); do probe controls Velmaro | grep -q '^edit' && break; sleep 0.5; done
check "the warning row opens the guidance dialog" sh -c "'$WINE' '$work/probe.exe' controls Velmaro | grep -q '^edit'"
probe press Velmaro Ja >/dev/null
for _ in $(seq 30); do probe controls Velmaro | grep -q '^edit' || break; sleep 0.5; done
check_equal "\"Ja\" finds the installed help page and closes the dialog" "" "$(probe controls Velmaro)"
# Uninstalling while the window runs: the silent uninstaller (its copy in the temporary folder, which
# the started one hands over to) waits for the program file, gives up and leaves the installation whole.
# (Its output goes to /dev/null: the copy would hold the check's pipe open until it ends.)
check "a silent uninstall while Velmaro.exe runs starts" sh -c '"$0" "$1" /S >/dev/null 2>&1' "$WINE" "$dir/Uninstall.exe"
for _ in $(seq 20); do pgrep -f '~nsu[0-9A-F]*\.tmp' >/dev/null && break; sleep 0.25; done
check "... its copy runs" pgrep -f '~nsu[0-9A-F]*\.tmp'
for _ in $(seq 40); do pgrep -f '~nsu[0-9A-F]*\.tmp' >/dev/null || break; sleep 0.5; done
check "... gives up within 20 s" sh -c "! pgrep -f '~nsu[0-9A-F]*\.tmp' >/dev/null"
check_same_lines "... and leaves every file in place" "$expected" "$(installed_files)"
check_equal "... and its Uninstall entry" "$version" "$(reg_value DisplayVersion)"
probe close "Velmaro Version*" >/dev/null
for _ in $(seq 20); do probe title "Velmaro Version*" | grep -q . || break; sleep 0.5; done
check_equal "the installed Velmaro.exe ends when its window is closed" "" "$(probe title "Velmaro Version*")"

check "setup /S again over the same version" install "$setup"
check_same_lines "files after the reinstall" "$expected" "$(installed_files)"
check_equal "one Uninstall entry, still this version" "$version" "$(reg_value DisplayVersion)"

# The uninstaller copies itself away and returns at once: wait for the folder to go.
check "silent uninstall starts" "$WINE" "$dir/Uninstall.exe" /S
for _ in $(seq 60); do [ -e "$dir" ] || break; sleep 0.5; done
check "the program folder is gone" test ! -e "$dir"
check "the shortcut is gone" test ! -e "$shortcut"
check_equal "the Uninstall entry is gone" "" "$(reg_value DisplayName)"
check_same_lines "nothing left in the user-visible folders" "$before" "$(user_visible_files)"
exit "$failures"
