# Sourced by the Wine helper scripts: where the 64-bit Wine loader and
# server live on Debian (the loader is not on PATH).
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER64=${WINESERVER64:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER64" ] || WINESERVER64=/usr/lib/wine/wineserver
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}

# Windows path of a Unix path (every Unix path is reachable through Z:).
windows_path() {
    local path
    path=$(readlink -f "$1")
    printf 'Z:%s' "${path//\//\\}"
}
