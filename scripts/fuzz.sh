#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each over its seed corpus and then
# for SECONDS more (default 60), as many targets at a time as there are cores. New inputs go to a
# work corpus under build/fuzz, never into the seeds; a crash leaves its input in
# build/fuzz/artifacts and fails the script.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts

# Runs one target; its whole output goes to its log, its exit code to the log's .rc file.
fuzz_one() {
    local target=$1 work=build/fuzz/corpus/$1 log=build/fuzz/fuzz_$1.log rc=0
    local seeds=("fuzz/corpus/$target")
    # The shipped machines are the scenario target's best seeds; read from where they live.
    [ "$target" = scenario ] && seeds+=(scenarios)
    mkdir -p "$work"
    build/fuzz/fuzz/fuzz_$target -dict="fuzz/$target.dict" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target-" "$work" "${seeds[@]}" >"$log" 2>&1 || rc=$?
    echo "$rc" >"$log.rc"
}

# The tree target reads its seeds slowest (it writes files for each), so it starts first.
targets=(sysfs_tree scenario wine_registry sysfs_text)
at_once=$(nproc 2>/dev/null || echo 1)
running=0
for target in "${targets[@]}"; do
    echo "== fuzz_$target: seeds, then $seconds s (log: build/fuzz/fuzz_$target.log)"
    fuzz_one "$target" &
    running=$((running + 1))
    if ((running >= at_once)); then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

status=0
for target in "${targets[@]}"; do
    log=build/fuzz/fuzz_$target.log
    echo "== fuzz_$target"
    grep -E '^#[0-9]+.*(INITED|DONE)|^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Test unit written' \
        "$log" || true
    rc=$(cat "$log.rc" 2>/dev/null || echo 1)
    if ((rc != 0)); then
        echo "fuzz_$target failed (exit $rc)"
        status=1
    fi
done
exit $status
