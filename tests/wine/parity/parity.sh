#!/usr/bin/env bash
# One scenario, the same velmaro-list.exe twice: on the memory backend with
# --scenario, and on the Win32 backend after the scenario was written into Wine's registry.
#   parity.sh VELMARO-LIST.EXE SCENARIO.json OUTPUT-DIR
# The two JSON listings and the .reg files stay in OUTPUT-DIR for a look after a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
python=${PYTHON:-python3}
exe=$1
scenario=$2
out=$3
mkdir -p "$out"

"$python" "$root/tools/scenario_to_reg.py" "$scenario" "$out/devices.reg" "$out/serialcomm.reg"

# Each listing in a prefix of its own: run.sh boots it, imports the registry and starts the program
# once more when Wine botched the start.
run="$root/scripts/wine/run.sh"
"$run" "$exe" --json --scenario "$scenario" >"$out/memory.json"
"$run" --reg "$out/devices.reg" --reg "$out/serialcomm.reg" "$exe" --json >"$out/wine.json"
"$python" "$here/compare_rows.py" "$out/memory.json" "$out/wine.json"
