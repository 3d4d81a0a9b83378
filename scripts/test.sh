#!/usr/bin/env bash
# Sets up, builds and runs every test: the Linux build, then the Windows build under Wine.
#   --sanitize  the Linux tests in the AddressSanitizer + UndefinedBehaviorSanitizer build instead
#   --linux     the Linux build only;  --windows  the Windows build only
set -euo pipefail
cd "$(dirname "$0")/.."
presets=(linux windows)
case "${1:-}" in
--sanitize) presets=(sanitize) ;;
--linux) presets=(linux) ;;
--windows) presets=(windows) ;;
"") ;;
*) echo "usage: scripts/test.sh [--sanitize|--linux|--windows]" >&2; exit 2 ;;
esac
if [[ " ${presets[*]} " == *" windows "* ]]; then
    scripts/setup.sh --windows
else
    scripts/setup.sh
fi
for preset in "${presets[@]}"; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
