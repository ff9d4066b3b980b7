#!/bin/sh
# Builds the library and the benchmark program, then runs it under Wine and
# prints its table and ratio lines. Arguments go to the program (--smoke for
# a brief run, --only GROUP for one group). The build tree is
# $ORVEXC_BUILD_DIR, by default build/default (the default preset's). On a
# machine that runs no 32-bit code (see scripts/runs-32bit.sh) the default is
# build/wine64 instead (the wine64 preset's: the same sources for x86_64,
# under 64-bit Wine), and a new tree is configured for x86_64.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if scripts/runs-32bit.sh; then
  preset=default toolchain=i686-w64-mingw32
else
  preset=wine64 toolchain=x86_64-w64-mingw32
  echo "note: this machine runs no 32-bit code: benchmarking the x86_64 build under 64-bit Wine" >&2
fi
build=${ORVEXC_BUILD_DIR:-build/$preset}
case "$build" in /*) ;; *) build=$root/$build ;; esac
if [ "$build" = "$root/build/$preset" ]; then
  cmake --preset "$preset" >/dev/null
elif [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target orvexc_bench -j2
scripts/wine-session.sh start "$build" >/dev/null
status=0
(cd "$build/bin" && "$root/scripts/wine-run.sh" ./orvexc_bench.exe "$@") || status=$?
scripts/wine-session.sh stop "$build" >/dev/null
exit $status
