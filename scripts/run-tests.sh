#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and runs
# every test of the 'default' preset under Xvfb. The tests run in the build's
# own Wine prefix with its own wineserver, started and stopped by CTest.
#
# On a machine that runs no 32-bit code (and so no 32-bit Wine), the 32-bit
# library, its host kit and its tools are still built, and the tests run on
# the 'wine64' preset: the same sources built for x86_64, under 64-bit Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh
status=0
if scripts/runs-32bit.sh; then
  xvfb-run -a cmake --workflow --preset default || status=$?
  build=build/default
else
  echo "note: this machine runs no 32-bit code: building the 32-bit library and tools, testing the 64-bit build under 64-bit Wine"
  { cmake --preset default &&
    cmake --build --preset default --target OrvexC OrvexCHostKit orvexc-menu-check orvexc-demo-host; } || status=$?
  xvfb-run -a cmake --workflow --preset wine64 || status=$?
  build=build/wine64
fi
# Should a run be cut short, its wineserver must not outlive it.
WINEPREFIX="$PWD/$build/wineprefix" wineserver -k >/dev/null 2>&1 || true
exit $status
