#!/usr/bin/env bash
# Runs a window as a user would (its own refresh timer) and prints its resident memory at intervals.
#   soak/window_rss.sh SECONDS EVERY PATTERN COMMAND [ARGS...]
# PATTERN (pgrep -f, anchored with ^ so that it does not match this script's own command line) finds
# the window's process, since a launcher such as Wine's may start it as a child.
set -euo pipefail
(($# >= 4)) || { echo "usage: soak/window_rss.sh SECONDS EVERY PATTERN COMMAND [ARGS...]" >&2; exit 2; }
seconds=$1 every=$2 pattern=$3
shift 3
"$@" >/dev/null 2>&1 &
launcher=$!
trap 'kill "$launcher" 2>/dev/null; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
pid=
for _ in $(seq 120); do
    pid=$(pgrep -n -f "$pattern" || true)
    [ -n "$pid" ] && break
    sleep 0.5
done
[ -n "$pid" ] || { echo "no process matches $pattern" >&2; exit 1; }
start=$SECONDS
while ((SECONDS - start <= seconds)); do
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || { echo "the window ended" >&2; exit 1; }
    awk -v t=$((SECONDS - start)) -v kb="$rss" 'BEGIN { printf "%5d s  rss %8.3f MB\n", t, kb / 1024 }'
    sleep "$every"
done
