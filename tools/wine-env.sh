# Sourced by the project's scripts: a quiet Wine with a prefix inside the given build folder,
# created without any dialog on first use.
wine_env() {
    export WINEDEBUG=-all
    export WINEPREFIX="$1/wineprefix"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}
