#!/usr/bin/env bash
# The main job: builds OrvexC.dll and its tools, installs the SDK into
# build/sdk, builds the sample module against the installed SDK through
# find_package, and runs it in the demo host on the built-in title under Wine
# (and Xvfb when no display is set). Arguments go to the demo host, e.g.
#   scripts/demo.sh --screenshot "$PWD/docs/demo.png"   (the guide's picture)
# except a first --trace, which puts the tracing edition of OrvexC.dll beside
# the module: the demo host then prints its lines among the transcript.
set -eu
cd "$(dirname "$0")/.."
trace=
if [ "${1:-}" = --trace ]; then trace=1; shift; fi
scripts/ensure-tools.sh
root=$PWD prefix=$PWD/build/sdk
cmake --preset default >/dev/null
cmake --build --preset default --target OrvexC OrvexCHostKit OrvexCHostKitC OrvexC_msvc_implib OrvexCHostKit_msvc_implib \
  OrvexC_reference orvexc-demo-host orvexc-menu-check ${trace:+OrvexC-trace}
rm -rf "$prefix"
cmake --install build/default --prefix "$prefix" --component sdk >/dev/null
cmake -S samples/hello-module -B build/hello-module -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" -DOrvexC_DIR="$prefix/lib/cmake/OrvexC" >/dev/null
cmake --build build/hello-module
# Beside the module: the shipped OrvexC.dll, or with --trace its tracing edition.
library=$prefix/bin/OrvexC.dll
if [ -n "$trace" ]; then library=build/default/bin/trace/OrvexC.dll; fi
cp "$library" build/hello-module/OrvexC.dll
echo
echo "SDK installed in $prefix (bin/OrvexC.dll, include/, lib/libOrvexC.dll.a, lib/OrvexC.lib, lib/cmake/OrvexC)"
echo
export WINEPREFIX=$root/build/demo-wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# Wine's own processes end before the display does, so none of them is left
# to complain that its X connection broke.
run=(sh -c 'wine "$0" "$@"; status=$?; wineserver -k >/dev/null 2>&1; exit $status'
     "$prefix/bin/orvexc-demo-host.exe" "$@")
# The module is found in the current folder, OrvexC.dll beside the demo host.
cd build/hello-module
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}"; else exec "${run[@]}"; fi
