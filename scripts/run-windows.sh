#!/usr/bin/env bash
# Sets up, cross-builds Velmaro.exe and velmaro-list.exe and starts Velmaro.exe under Wine here.
# Usage: scripts/run-windows.sh [--scenario FILE]
#   --scenario FILE   show the machine described by a scenario file instead of Wine's own devices
# Wine runs in a fresh prefix that is deleted when the window closes. Without a display the window
# opens on a virtual one: the script saves a screenshot to build/windows/velmaro-wine.png, prints
# what velmaro-list.exe lists, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."

args=("$@")
if ((${#args[@]})) && [[ "${args[0]}" == *.json && "${args[0]}" != -* ]]; then
    args=(--scenario "${args[@]}")
fi

scripts/setup.sh --windows
log=build/run-windows-build.log
mkdir -p build
if ! { cmake --preset windows && cmake --build --preset windows --target Velmaro velmaro-list; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "run-windows.sh: the build failed; the whole output is in $log" >&2
    exit 1
fi
exe=build/windows/apps/win32/Velmaro.exe
lister=build/windows/apps/cli/velmaro-list.exe

if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine/run.sh "$exe" "${args[@]}"
fi

shot=build/windows/velmaro-wine.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    source scripts/wine/prefix.sh
    trap wine_prefix_drop EXIT
    wine_prefix_new
    # no window manager on the virtual display: Wine draws the frames and title bars itself
    printf "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n\"Decorated\"=\"N\"\n" >"$WINEPREFIX/frames.reg"
    wine_import_reg "$WINEPREFIX/frames.reg"
    exe=$1 lister=$2 shot=$3
    shift 3
    "$WINE" "$exe" "$@" &
    for _ in $(seq 40); do
        xdotool search --name "Version" >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 2
    import -window root "$shot"
    "$WINESERVER" -k
    "$WINE" "$lister" "$@"
' run-windows "$exe" "$lister" "$shot" "${args[@]}"
echo "run-windows.sh: no display here; the window ran on a virtual one, its picture is $shot" >&2
