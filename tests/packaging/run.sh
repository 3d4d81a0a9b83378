#!/usr/bin/env bash
# The packages, made and then installed as a user would install them: the .deb into a throw-away
# root, the Windows setup under Wine in a fresh prefix, the zip unpacked. Every check prints one
# "ok"/"FAIL" line; the script's exit code is the number of failures (0 = all passed).
#   tests/packaging/run.sh [deb|windows]   (both by default)
set -euo pipefail
cd "$(dirname "$0")/../.."
parts=("$@")
((${#parts[@]})) || parts=(deb windows)
failures=0
start=$SECONDS
for part in "${parts[@]}"; do
    case "$part" in
    deb | windows) ;;
    *) echo "usage: tests/packaging/run.sh [deb|windows]" >&2; exit 2 ;;
    esac
    scripts/package.sh "$part" >"build/package-$part.log" 2>&1 || {
        tail -n 40 "build/package-$part.log" >&2
        echo "FAIL: scripts/package.sh $part (whole output in build/package-$part.log)"
        failures=$((failures + 1))
        continue
    }
    rc=0
    "tests/packaging/check_$part.sh" || rc=$?
    failures=$((failures + rc))
done
echo "packaging tests: $failures failed, $((SECONDS - start)) s"
exit $((failures > 0))
