#!/usr/bin/env bash
# One scenario, one Wine prefix, the same velmaro-list.exe twice: on the memory backend with
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

# shellcheck source=../../../scripts/wine/prefix.sh
source "$root/scripts/wine/prefix.sh"
trap wine_prefix_drop EXIT
wine_prefix_new
wine_import_reg "$out/devices.reg"
wine_import_reg "$out/serialcomm.reg"

"$WINE" "$exe" --json --scenario "$scenario" >"$out/memory.json"
"$WINE" "$exe" --json >"$out/wine.json"
"$python" "$here/compare_rows.py" "$out/memory.json" "$out/wine.json"
