# shellcheck shell=bash
# One-line checks for the packaging tests; source this file. Each check prints "ok: what" or
# "FAIL: what" with the evidence, and counts failures in $failures.
failures=0

pass() { echo "ok: $1"; }
fail() {
    echo "FAIL: $1"
    shift
    (($#)) && printf '      %s\n' "$@"
    failures=$((failures + 1))
}

# check WHAT COMMAND...: ok when the command succeeds; its output is shown when it does not.
check() {
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then
        pass "$what"
    else
        fail "$what" "$(printf '%s\n' "$out" | tail -n 15)"
    fi
}

# check_equal WHAT EXPECTED ACTUAL
check_equal() {
    if [ "$2" = "$3" ]; then
        pass "$1"
    else
        fail "$1" "expected: $2" "got:      $3"
    fi
}

# check_same_lines WHAT EXPECTED_TEXT ACTUAL_TEXT: the two lists as sets, with what differs.
check_same_lines() {
    local diff
    if diff=$(diff <(printf '%s\n' "$2" | sort) <(printf '%s\n' "$3" | sort)); then
        pass "$1"
    else
        fail "$1" "$(printf '%s\n' "$diff" | grep '^[<>]' | sed 's/^</missing:/; s/^>/extra:  /')"
    fi
}
