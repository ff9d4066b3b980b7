# Sourced by the Wine scripts with $build set to a build tree: picks the Wine
# of that tree's target (32-bit Wine for i686 builds, 64-bit Wine for x86_64
# builds) and exports WINEPREFIX, WINEARCH and WINELOADER for it.
if grep -q 'x86_64-w64-mingw32' "$build/CMakeCache.txt" 2>/dev/null; then
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  WINE=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  WINE=wine
fi
export WINEPREFIX=${ORVEXC_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
