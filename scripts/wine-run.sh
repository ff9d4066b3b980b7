#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, in the prefix of the build tree
# that holds it (the build's own WINEPREFIX, created by scripts/wine-session.sh).
set -eu
exe=$1; shift
dir=$(cd "$(dirname "$exe")" && pwd)
build=$dir
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || { echo "wine-run: no build tree above $exe" >&2; exit 2; }
. "$(dirname "$0")/wine-arch.sh"
if [ -z "${DISPLAY:-}" ] && [ -f "$build/wine-display" ]; then
  export DISPLAY=$(cat "$build/wine-display")
fi
exec "$WINE" "$exe" "$@"
