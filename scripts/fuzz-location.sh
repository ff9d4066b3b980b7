#!/usr/bin/env bash
# Fuzzes locations (CLocation, the path parts, the character helper) natively
# with libFuzzer (clang++, AddressSanitizer, UndefinedBehaviorSanitizer) in the
# double-byte code pages of the stand-in C runtime (tests/fuzz/shim/).
#
#   scripts/fuzz-location.sh [SECONDS]   build, fuzz SECONDS (default 30)
#
# Builds into $ORVEXC_FUZZ_BUILD (default build/fuzz-native) and fuzzes a fresh
# copy of the seeds tests/fuzz/location (the committed seeds never change); a
# crashing input is kept in $ORVEXC_FUZZ_BUILD/location-artifacts. Exits
# non-zero on a build failure, or any crash, sanitizer report or broken rule.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
out=${ORVEXC_FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${ORVEXC_FUZZ_CXX:-clang++}
src=$root/tests/fuzz
command -v "$cxx" >/dev/null || { echo "fuzz-location: $cxx not found (scripts/ensure-tools.sh installs clang)" >&2; exit 2; }
mkdir -p "$out"
echo "fuzz-location: building into $out"
"$cxx" -std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$root" -I"$root/tests" -I"$src/shim" \
  -o "$out/fuzz_location" "$src/fuzz_location.cpp" \
  "$root/resource/Location.cpp" "$root/frame/PathParts.cpp" "$root/frame/CharText.cpp"

work=$out/location-run artifacts=$out/location-artifacts log=$out/location.log status=0
rm -rf "$work" "$artifacts" && mkdir -p "$work" "$artifacts" && cp "$src"/location/*.loc "$work"/
echo "fuzz-location: fuzzing for $seconds s on $(ls "$work" | wc -l) seeds"
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$out/fuzz_location" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -dict="$src/location.dict" -artifact_prefix="$artifacts/" -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
tail -n 20 "$log"
if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|libFuzzer)|runtime error:|location fault' "$log" \
   || [ -n "$(ls -A "$artifacts")" ]; then
  echo "fuzz-location: FAILED (exit $status); log $log, inputs in $artifacts" >&2
  exit 1
fi
grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log"
echo "fuzz-location: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
