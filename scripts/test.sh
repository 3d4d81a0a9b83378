#!/usr/bin/env bash
# Sets up, builds and runs every test. With --sanitize: the same in the ASan + UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
preset=linux
[ "${1:-}" = "--sanitize" ] && preset=sanitize
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
