#!/usr/bin/env bash
# Screenshots of Velmaro.exe under Wine at 96 DPI, for looking at by eye:
#   main.png      the main window with the typical desktop
#   problems.png  the main window with the double assignments: red rows and the problem line
#   guidance.png  the guidance dialog of the doubly used DCA-510 port, opened by a click on its row
# usage: screenshots.sh BUILD_DIR OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath "${1:?usage: screenshots.sh BUILD_DIR OUT_DIR}")
out=$(realpath -m "${2:?usage: screenshots.sh BUILD_DIR OUT_DIR}")
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$build" "$out"
fi
mkdir -p "$out"
exe="$build/apps/win32/Velmaro.exe"

# shellcheck source=../../scripts/wine/prefix.sh
source "$root/scripts/wine/prefix.sh"
trap wine_prefix_drop EXIT
wine_prefix_new
# Xvfb runs no window manager: Wine draws the frames and title bars itself.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Decorated"="N"\n' >"$WINEPREFIX/frames.reg"
wine_import_reg "$WINEPREFIX/frames.reg"

# Waits for a window whose title matches, prints its X id.
wait_window() {
    local id=""
    for _ in $(seq 1 60); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    echo "no window '$1'" >&2
    return 1
}

"$WINE" "$exe" --scenario "$root/scenarios/typical-desktop.json" &
wait_window "Velmaro Version" >/dev/null
sleep 2  # the first refresh and its drawing
import -window root "$out/main.png"
"$WINESERVER" -k || true
"$WINESERVER" -w || true
"$WINESERVER" -p

"$WINE" "$exe" --scenario "$root/scenarios/double-assignments.json" &
main=$(wait_window "Velmaro Version")
sleep 2
import -window root "$out/problems.png"
# Row 2 is COM 5 with the DCA-510: the list starts at 152 px, its header and first row take 35 px.
# The client area starts inside the frame Wine draws: 4 px border, 19 px title bar.
eval "$(xdotool getwindowgeometry --shell "$main")"
client_x=$((X + ${VELMARO_FRAME_X:-4}))
client_y=$((Y + ${VELMARO_FRAME_Y:-23}))
xdotool mousemove $((client_x + 60)) $((client_y + 152 + ${VELMARO_ROW2_Y:-43})) click 1
wait_window "^Velmaro$" >/dev/null
sleep 1
import -window root "$out/guidance.png"
