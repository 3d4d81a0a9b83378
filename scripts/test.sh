#!/usr/bin/env bash
# Sets up, builds and runs every test: the Linux build, the Windows build under Wine, then the
# packages (the .deb installed into a throw-away root, the Windows setup under Wine, the zip).
#   --sanitize  the Linux tests in the AddressSanitizer + UndefinedBehaviorSanitizer build instead
#   --linux     the Linux build only;  --windows  the Windows build only;  --packages  the packages only
set -euo pipefail
cd "$(dirname "$0")/.."
presets=(linux windows)
packages=yes
case "${1:-}" in
--sanitize) presets=(sanitize) packages=no ;;
--linux) presets=(linux) packages=no ;;
--windows) presets=(windows) packages=no ;;
--packages) presets=() packages=yes ;;
"") ;;
*) echo "usage: scripts/test.sh [--sanitize|--linux|--windows|--packages]" >&2; exit 2 ;;
esac
setup=()
((${#presets[@]} == 0)) || setup+=(--tests)
[[ " ${presets[*]} " == *" windows "* ]] && setup+=(--windows)
[ "$packages" = no ] || setup+=(--windows --packaging)
scripts/setup.sh "${setup[@]}"
for preset in "${presets[@]}"; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
if [ "$packages" = yes ]; then
    tests/packaging/run.sh
fi
