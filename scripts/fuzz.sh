#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each over its seed corpus and then
# for SECONDS more (default 60). New inputs go to a work corpus under build/fuzz, never into the
# seeds; a crash leaves its input in build/fuzz/artifacts and fails the script.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
status=0
for target in wine_registry sysfs_text; do
    work=build/fuzz/corpus/$target
    mkdir -p "$work" build/fuzz/artifacts
    echo "== fuzz_$target: seeds, then $seconds s"
    if ! build/fuzz/fuzz/fuzz_$target -dict="fuzz/$target.dict" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/$target- "$work" "fuzz/corpus/$target" 2>&1 |
        grep -E '^#[0-9]+.*(INITED|DONE)|^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Test unit written'; then
        :
    fi
    [[ ${PIPESTATUS[0]} -eq 0 ]] || status=1
done
exit $status
