# Sourced by the Wine helper scripts: which Wine loader and server to use.
# WINEARCH selects the bitness (win64 by default; win32 runs the 32-bit
# loader, which needs a kernel with 32-bit emulation: see scripts/guest32).
# Debian keeps the loaders off PATH, in /usr/lib/wine.
export WINEARCH=${WINEARCH:-win64}
if [ "$WINEARCH" = win32 ]; then
    WINE_LOADER=${WINE_LOADER:-/usr/lib/wine/wine}
    WINE_SERVER=${WINE_SERVER:-/usr/lib/wine/wineserver32}
else
    WINE_LOADER=${WINE_LOADER:-/usr/lib/wine/wine64}
    WINE_SERVER=${WINE_SERVER:-/usr/lib/wine/wineserver64}
fi
[ -x "$WINE_SERVER" ] || WINE_SERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}

# Windows path of a Unix path (every Unix path is reachable through Z:).
windows_path() {
    local path
    path=$(readlink -f "$1")
    printf 'Z:%s' "${path//\//\\}"
}
