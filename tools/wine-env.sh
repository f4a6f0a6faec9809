# Sourced by the project's scripts: a quiet Wine with a prefix inside the given build folder,
# created without any dialog on first use. An optional second argument, win32 or win64, is the
# prefix's architecture when it is created: a win64 prefix (wine64 installed) runs 32-bit and
# 64-bit programs, a win32 one only 32-bit programs, as on a machine without wine64.
# Fails with one line when the prefix cannot be made, rather than leaving every later test to
# fail on its own.
wine_env() {
    export WINEDEBUG=-all
    export WINEPREFIX="$1/wineprefix"
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    if ! command -v wineboot >/dev/null; then
        echo "wine-env: wine is not installed (run bash tools/install-deps.sh)" >&2
        return 1
    fi
    mkdir -p "$WINEPREFIX"
    if [ -n "${2:-}" ]; then
        WINEARCH=$2 wineboot -i >/dev/null 2>&1 || true
    else
        wineboot -i >/dev/null 2>&1 || true
    fi
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-env: could not create the Wine prefix $WINEPREFIX (wineboot failed; try 'wineboot -i' with WINEPREFIX set to see why)" >&2
        return 1
    fi
}
