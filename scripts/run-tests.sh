#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and runs
# every test of the 'default' preset under Xvfb. The tests run in the build's
# own Wine prefix with its own wineserver, started and stopped by CTest.
set -eu
cd "$(dirname "$0")/.."
scripts/ensure-tools.sh
status=0
xvfb-run -a cmake --workflow --preset default || status=$?
# Should a run be cut short, its wineserver must not outlive it.
WINEPREFIX="$PWD/build/default/wineprefix" wineserver -k >/dev/null 2>&1 || true
exit $status
