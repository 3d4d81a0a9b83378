#!/usr/bin/env bash
# Sets up, builds and runs Velmaro's lister on a shipped machine scenario.
# Usage: scripts/run.sh [SCENARIO] [more velmaro-list options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target velmaro-list >/dev/null
scenario="${1:-scenarios/typical-desktop.json}"
shift || true
exec build/linux/apps/cli/velmaro-list --scenario "$scenario" "$@"
