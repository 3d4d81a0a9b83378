# Functions for a throw-away Wine prefix; source this file.
#   wine_prefix_new       makes a fresh prefix in $WINEPREFIX (a new temporary folder), boots it
#                         and keeps its wineserver running until wine_prefix_drop
#   wine_import_reg FILE  imports a .reg file (REGEDIT4 or version 5) into the prefix
#   wine_prefix_drop      stops the wineserver and deletes the prefix (unless VELMARO_WINE_KEEP=1)
# Wine's own volatile keys (HARDWARE\DEVICEMAP\SERIALCOMM) live only as long as the wineserver, which
# is why it is kept running from the boot to the end.

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

wine_prefix_new() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/velmaro-wine.XXXXXX")
    export WINEPREFIX
    "$WINESERVER" -p
    "$WINE" wineboot -i >/dev/null 2>&1
}

wine_import_reg() {
    "$WINE" regedit /S "$1" >/dev/null 2>&1
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
}
