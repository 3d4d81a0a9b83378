#!/usr/bin/env bash
# The installed window started from its desktop entry, on a private Xvfb display with openbox as
# window manager: it must show its title, and its picture is saved. Then the installed window's
# guidance dialog must open the help page installed with it.
#   installed_window.sh ROOT DESKTOP_FILE SHOT.png    (exit code: number of failed checks)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VELMARO_ON_XVFB:-}" ]; then
    VELMARO_ON_XVFB=1 exec "$here/../../scripts/wine/display.sh" "$0" "$@"
fi
# shellcheck source=checks.sh
source "$here/checks.sh"
root=$1 desktop=$2 shot=$3
version=$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
runtime=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-xdg.XXXXXX")
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm ${app:-} 2>/dev/null || true; rm -rf "$runtime"' EXIT
sleep 1

# As a desktop starts it: the Exec line, with the installed programs first in PATH.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
PATH="$root/usr/bin:$PATH" XDG_RUNTIME_DIR=$runtime XDG_DATA_DIRS="$root/usr/share:/usr/share" \
    sh -c "exec $exec_line" >/dev/null 2>&1 &
app=$!
title=""
for _ in $(seq 40); do
    title=$(xdotool search --onlyvisible --name "^Velmaro Version" getwindowname 2>/dev/null | head -n 1 || true)
    [ -n "$title" ] && break
    sleep 0.5
done
check_equal "the window from the desktop entry shows its title (the program's name first)" "Velmaro Version $version vom 29.05.2007" "$title"
sleep 2  # the first refresh
import -window root "$shot"
check "screenshot of the installed window saved" test -s "$shot"
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true

# The help page from the installed tree: a click on the Siemens cable's row (the first warning row of
# the shipped scenario), then "Ja" in the guidance dialog, whose page goes to xdg-open; a stand-in
# xdg-open notes what it was asked to open.
mkdir -p "$runtime/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$runtime" >"$runtime/bin/xdg-open"
chmod +x "$runtime/bin/xdg-open"
PATH="$runtime/bin:$root/usr/bin:$PATH" XDG_RUNTIME_DIR=$runtime \
    velmaro --scenario "$root/usr/share/velmaro/scenarios/missing-drivers.json" >/dev/null 2>&1 &
app=$!
window=""
for _ in $(seq 40); do
    window=$(xdotool search --onlyvisible --name "^Velmaro Version" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
done
sleep 1.5  # the first refresh
# Rows are looked for from the top of the list (152 px down at 96 dpi) downwards; the first row, a
# plain port, opens nothing.
dialog=""
for y in $(seq 170 6 300); do
    xdotool mousemove --window "$window" 60 "$y" click 1 >/dev/null 2>&1 || true
    sleep 0.3
    dialog=$(xdotool search --onlyvisible --name "^Velmaro$" 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
done
check "a warning row opens the guidance dialog" test -n "$dialog"
if [ -n "$dialog" ]; then
    # "Ja" at 5340, 4530 twips, 1215 x 495: its middle in pixels at 96 dpi.
    xdotool mousemove --window "$dialog" 396 318 click 1 >/dev/null 2>&1 || true
    for _ in $(seq 20); do [ -s "$runtime/opened" ] && break; sleep 0.25; done
fi
check_equal "\"Ja\" opens the installed help page" \
    "$root/usr/share/velmaro/Hilfe/Siemens_DCA-140-540_USB_Hinweise_WinXP.htm" "$(cat "$runtime/opened" 2>/dev/null)"
kill "$app" 2>/dev/null || true
exit "$failures"
