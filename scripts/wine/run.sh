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
out=$(mktemp "${TMPDIR:-/tmp}/velmaro-run.XXXXXX")
trap 'wine_prefix_drop; rm -f "$out" "$out.err"' EXIT

# The output is held back until the program ends, so that a start that Wine botched can be told
# apart: such a program ends with an error before it wrote a single byte, which none of ours does.
for attempt in 1 2; do
    wine_prefix_new
    for r in "${regs[@]}"; do
        wine_import_reg "$r"
    done
    rc=0
    "$WINE" "$@" >"$out" 2>"$out.err" || rc=$?
    if ((rc == 0 || attempt == 2)) || [ -s "$out" ] || [ -s "$out.err" ]; then
        break
    fi
    printf 'run.sh: %s ended with code %d (0x%08X) without any output; once more in a new prefix\n' \
        "$1" "$rc" "$rc" >&2
    wine_prefix_drop
done
cat "$out"
cat "$out.err" >&2
if ((rc != 0)); then
    printf 'run.sh: %s ended with code %d (0x%08X)\n' "$1" "$rc" "$rc" >&2
fi
exit $rc
