#!/bin/sh
# Builds the library and the benchmark program, then runs it under Wine and
# prints its table and ratio lines. Arguments go to the program (--smoke for
# a brief run, --only GROUP for one group).
#
# Timings come from a build that runs natively: the i686 build (the default
# preset's tree) where 32-bit code runs natively, the same sources built for
# x86_64 (the x86_64 preset, under 64-bit Wine) where 32-bit code is only
# emulated, since emulated timings mean nothing. $ORVEXC_BUILD_DIR overrides
# the build tree.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/ensure-tools.sh --bench
if scripts/ensure-32bit.sh | grep -q emulated; then
  preset=x86_64 toolchain=x86_64-w64-mingw32
else
  preset=default toolchain=i686-w64-mingw32
fi
build=${ORVEXC_BUILD_DIR:-build/$preset}
case "$build" in /*) ;; *) build=$root/$build ;; esac
echo "benchmarking the $toolchain build (runs natively here) in $build"
if [ "$build" = "$root/build/$preset" ]; then
  cmake --preset "$preset" >/dev/null
elif [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" --target orvexc_bench -j2
scripts/wine-session.sh start "$build" >/dev/null
status=0
(cd "$build/bin" && "$root/scripts/wine-run.sh" ./orvexc_bench.exe "$@") || status=$?
scripts/wine-session.sh stop "$build" >/dev/null
exit $status
