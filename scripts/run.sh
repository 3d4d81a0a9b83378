#!/usr/bin/env bash
# Sets up, builds and starts Velmaro's window, velmaro, on this machine.
# Usage: scripts/run.sh [--scenario FILE]
#   --scenario FILE   show the machine described by a scenario file instead of this one
#                     (a bare FILE ending in .json means the same)
# Without a display the window cannot open: the script says so and prints the port list that the
# window would show (velmaro-list, with the same arguments).
set -euo pipefail
cd "$(dirname "$0")/.."

args=("$@")
if ((${#args[@]})) && [[ "${args[0]}" == *.json && "${args[0]}" != -* ]]; then
    args=(--scenario "${args[@]}")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    scripts/setup.sh --virtual-display  # for the xvfb-run hint below
else
    scripts/setup.sh
fi
log=build/run-build.log
mkdir -p build
if ! { cmake --preset run && cmake --build --preset run; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "run.sh: the build failed; the whole output is in $log" >&2
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<EOF
run.sh: no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the Velmaro window cannot open.
  On a virtual display:   xvfb-run -a scripts/run.sh ${args[*]}
  Over SSH:               ssh -X, then scripts/run.sh ${args[*]}
Meanwhile, the port list as the window would show it:

EOF
    exec build/run/apps/cli/velmaro-list "${args[@]}"
fi
exec build/run/apps/qt/velmaro "${args[@]}"
