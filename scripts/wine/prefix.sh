# Functions for a throw-away Wine prefix; source this file.
#   wine_prefix_new       makes a fresh prefix in $WINEPREFIX (a new temporary folder), boots it
#                         and keeps its wineserver running until wine_prefix_drop
#   wine_import_reg FILE  imports a .reg file (REGEDIT4 or version 5) into the prefix
#   wine_prefix_drop      stops the wineserver and deletes the prefix (unless VELMARO_WINE_KEEP=1)
# Wine's own volatile keys (HARDWARE\DEVICEMAP\SERIALCOMM) live only as long as the wineserver, which
# is why it is kept running from the boot to the end.
# A failing step says so on stderr: a test that fails because Wine did not come up must not look
# like a test that failed on its own.

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries: winemenubuilder would write the setup's shortcut into the host's menu and hold
# the program file open to take its icon while the uninstaller tries to delete it.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

# A boot on a busy machine can fail once without anything being wrong with the program under test,
# so a failed boot is tried again in a new prefix.
wine_prefix_new() {
    local attempt log rc
    log=$(mktemp "${TMPDIR:-/tmp}/velmaro-wineboot.XXXXXX")
    for attempt in 1 2 3; do
        WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-wine.XXXXXX")
        export WINEPREFIX
        rc=0
        "$WINESERVER" -p >"$log" 2>&1 || rc=$?
        if ((rc == 0)); then
            "$WINE" wineboot -i >>"$log" 2>&1 || rc=$?
        fi
        if ((rc == 0)) && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
            rm -f "$log"
            return 0
        fi
        echo "prefix.sh: booting a Wine prefix failed (attempt $attempt, code $rc):" >&2
        tail -n 20 "$log" >&2
        wine_prefix_drop
    done
    rm -f "$log"
    echo "prefix.sh: no Wine prefix could be booted" >&2
    return 1
}

wine_import_reg() {
    local rc=0
    "$WINE" regedit /S "$1" >/dev/null 2>&1 || rc=$?
    if ((rc != 0)); then
        echo "prefix.sh: regedit could not import $1 (code $rc)" >&2
    fi
    return $rc
}

wine_prefix_drop() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    if [ "${VELMARO_WINE_KEEP:-0}" = 1 ]; then
        echo "Wine prefix kept: $WINEPREFIX" >&2
    else
        rm -rf "$WINEPREFIX"
    fi
    WINEPREFIX=""
}
