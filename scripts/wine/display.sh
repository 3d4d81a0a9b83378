#!/usr/bin/env bash
# Runs a command on a private Xvfb display (1024x768, 24 bits).
# The search for a free display starts at a random number: test programs started side by side
# would otherwise all try the same first number and one of them could lose the race for it.
set -euo pipefail
exec xvfb-run -a -n $((100 + RANDOM % 4000)) -s "-screen 0 1024x768x24" "$@"
