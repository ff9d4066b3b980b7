#!/bin/sh
# Builds the library and the benchmark program, then runs it under Wine.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target orvexc_bench -j2
scripts/wine-session.sh start build/default >/dev/null
status=0
(cd build/default/bin && ../../../scripts/wine-run.sh ./orvexc_bench.exe "$@") || status=$?
scripts/wine-session.sh stop build/default >/dev/null
exit $status
