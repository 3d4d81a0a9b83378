#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each over its seed corpus and then
# for SECONDS more (default 60). New inputs go to a work corpus under build/fuzz, never into the
# seeds; a crash leaves its input in build/fuzz/artifacts and fails the script.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
status=0
for target in wine_registry sysfs_text sysfs_tree scenario; do
    work=build/fuzz/corpus/$target
    log=build/fuzz/fuzz_$target.log
    mkdir -p "$work" build/fuzz/artifacts
    echo "== fuzz_$target: seeds, then $seconds s (log: $log)"
    seeds=("fuzz/corpus/$target")
    # The shipped machines are the scenario target's best seeds; read from where they live.
    [ "$target" = scenario ] && seeds+=(scenarios)
    rc=0
    build/fuzz/fuzz/fuzz_$target -dict="fuzz/$target.dict" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target-" "$work" "${seeds[@]}" >"$log" 2>&1 || rc=$?
    grep -E '^#[0-9]+.*(INITED|DONE)|^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Test unit written' \
        "$log" || true
    if ((rc != 0)); then
        echo "fuzz_$target failed (exit $rc)"
        status=1
    fi
done
exit $status
