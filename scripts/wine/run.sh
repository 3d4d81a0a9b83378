#!/usr/bin/env bash
# Runs a Windows program under Wine in a fresh prefix that is deleted afterwards.
#   run.sh [--reg FILE]... [--display] PROGRAM.exe [ARGS...]
# --reg imports a .reg file after the boot (several allowed, in order); --display gives the program
# an X display (a private Xvfb when none is set). The program's exit code is the script's.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
regs=()
display=0
while (($#)); do
    case "$1" in
    --reg) regs+=("$(realpath "$2")"); shift 2 ;;
    --reg=*) regs+=("$(realpath "${1#--reg=}")"); shift ;;
    --display) display=1; shift ;;
    *) break ;;
    esac
done
(($#)) || { echo "usage: run.sh [--reg FILE]... [--display] PROGRAM.exe [ARGS...]" >&2; exit 2; }

if ((display)) && [ -z "${DISPLAY:-}" ]; then
    exec "$here/display.sh" "$0" "${regs[@]/#/--reg=}" "$@"
fi

# shellcheck source=prefix.sh
source "$here/prefix.sh"
trap wine_prefix_drop EXIT
wine_prefix_new
for r in "${regs[@]}"; do
    wine_import_reg "$r"
done
set +e
"$WINE" "$@"
rc=$?
set -e
exit $rc
