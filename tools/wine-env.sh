# Sourced by the project's scripts: a quiet Wine with a prefix inside the given build folder,
# created without any dialog on first use. An optional second argument, win32 or win64, is the
# prefix's architecture when it is created: a win64 prefix (wine64 installed) runs 32-bit and
# 64-bit programs, a win32 one only 32-bit programs, as on a machine without wine64.
wine_env() {
    export WINEDEBUG=-all
    export WINEPREFIX="$1/wineprefix"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        if [ -n "${2:-}" ]; then
            WINEARCH=$2 wineboot -i >/dev/null 2>&1 || true
        else
            wineboot -i >/dev/null 2>&1 || true
        fi
        wineserver -w
    fi
}
