# Functions for a throw-away Wine prefix; source this file.
#   wine_prefix_new       makes a fresh prefix in $WINEPREFIX (a new temporary folder), a copy of
#                         a booted one, and keeps its wineserver running until wine_prefix_drop
#   wine_import_reg FILE  imports a .reg file (REGEDIT4 or version 5) into the prefix
#   wine_prefix_drop      stops the wineserver and deletes the prefix (unless VELMARO_WINE_KEEP=1)
# A failing step says so on stderr: a test that fails because Wine did not come up must not look
# like a test that failed on its own.

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
# No menu entries: winemenubuilder would write the setup's shortcut into the host's menu and hold
# the program file open to take its icon while the uninstaller tries to delete it.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

# A boot takes six seconds and more; a copy of a booted prefix takes one. The booted prefix is kept
# in VELMARO_WINE_TEMPLATE (by default in the user's cache), made anew for another Wine.
VELMARO_WINE_TEMPLATE=${VELMARO_WINE_TEMPLATE:-${XDG_CACHE_HOME:-${HOME:-${TMPDIR:-/tmp}}/.cache}/velmaro/wine-prefix}

# Boots a new prefix in the folder $WINEPREFIX; with "persistent" its server keeps running (Wine's
# volatile keys, HARDWARE\DEVICEMAP\SERIALCOMM among them, live only as long as the server), else
# the server ends once the boot is done and writes the registry to the prefix's files. A boot on a
# busy machine can fail once without anything being wrong with the program under test, so a failed
# boot is tried again.
wine_boot() {
    local attempt log rc persistent=${1:-}
    log=$(mktemp "${TMPDIR:-/tmp}/velmaro-wineboot.XXXXXX")
    for attempt in 1 2 3; do
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        rc=0
        : >"$log"
        if [ "$persistent" = persistent ]; then
            "$WINESERVER" -p >"$log" 2>&1 || rc=$?
        fi
        if ((rc == 0)); then
            "$WINE" wineboot -i >>"$log" 2>&1 || rc=$?
        fi
        [ "$persistent" = persistent ] || "$WINESERVER" -w >>"$log" 2>&1 || true
        if ((rc == 0)) && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
            rm -f "$log"
            return 0
        fi
        echo "prefix.sh: booting a Wine prefix failed (attempt $attempt, code $rc):" >&2
        tail -n 20 "$log" >&2
        "$WINESERVER" -k >/dev/null 2>&1 || true
        "$WINESERVER" -w >/dev/null 2>&1 || true
    done
    rm -f "$log"
    echo "prefix.sh: no Wine prefix could be booted" >&2
    return 1
}

# Makes sure the booted prefix to copy from is there and belongs to this Wine; one test at a time
# makes it, the others wait for it.
wine_template_ready() {
    local wine_id
    wine_id="$("$WINE" --version) $(stat -L -c %Y "$WINE")"
    mkdir -p "$(dirname "$VELMARO_WINE_TEMPLATE")" || return 1
    (
        flock 9
        [ "$(cat "$VELMARO_WINE_TEMPLATE/.velmaro-wine" 2>/dev/null)" = "$wine_id" ] && exit 0
        export WINEPREFIX=$VELMARO_WINE_TEMPLATE
        wine_boot || exit 1
        echo "$wine_id" >"$VELMARO_WINE_TEMPLATE/.velmaro-wine"
    ) 9>"$VELMARO_WINE_TEMPLATE.lock"
}

wine_prefix_new() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-wine.XXXXXX")
    export WINEPREFIX
    # The first Wine process of a session starts its services, which keep that process's standard
    # streams open for as long as the server runs: started here, they hold none of a caller's pipes.
    if wine_template_ready && cp -a "$VELMARO_WINE_TEMPLATE/." "$WINEPREFIX/" &&
        "$WINESERVER" -p >/dev/null 2>&1 && "$WINE" wineboot </dev/null >/dev/null 2>&1; then
        rm -f "$WINEPREFIX/.velmaro-wine"
        return 0
    fi
    echo "prefix.sh: no copy of a booted prefix; booting one" >&2
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    wine_boot persistent
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
