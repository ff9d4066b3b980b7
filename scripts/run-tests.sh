#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and runs
# every test of the 'default' preset (the shipped i686 DLL) under Xvfb. The
# tests run in the build's own Wine prefix with its own wineserver, started
# and stopped by CTest. Where the kernel runs no 32-bit code, 32-bit Wine runs
# under qemu-user (scripts/ensure-32bit.sh). The reliability tests print what
# they ran after the run.
set -eu
cd "$(dirname "$0")/.."
# LLVM's tools take TMPDIR as it stands; GCC and Wine fall back to /tmp.
if [ -n "${TMPDIR:-}" ] && ! { [ -d "$TMPDIR" ] && [ -w "$TMPDIR" ]; }; then
  echo "TMPDIR=$TMPDIR is no writable folder: using /tmp"
  export TMPDIR=/tmp
fi
scripts/ensure-tools.sh
mode=$(scripts/ensure-32bit.sh)  # set up already: only says which mode
# Emulated, the concurrency test's eight threads contending for the fake
# runtime's lock take about 35 s at full count: a quarter of the calls, 6 s.
case "$mode" in *emulated*) export ORVEX_STRESS_CALLS=${ORVEX_STRESS_CALLS:-5000} ;; esac
status=0
xvfb-run -a cmake --workflow --preset default || status=$?
# What the reliability and corpus tests ran: their counts, from CTest's log.
grep -ahE '^(\[ stress   \]|host exports:|load/unload:|menu corpus:|.*allocations, each failed|.*common subset|llvm-rc is left out)' \
  build/default/Testing/Temporary/LastTest*.log 2>/dev/null || true
# Should a run be cut short, its wineserver must not outlive it.
WINEPREFIX="$PWD/build/default/wineprefix" wineserver -k >/dev/null 2>&1 || true
exit $status
