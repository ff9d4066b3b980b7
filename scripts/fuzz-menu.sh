#!/usr/bin/env bash
# Fuzzes the menu script parser and builder natively with libFuzzer (clang++,
# AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer).
#
#   scripts/fuzz-menu.sh [SECONDS]   build, fuzz SECONDS (default 60)
#
# A longer run, for instance before a release or after a parser change:
#   scripts/fuzz-menu.sh 3600
#
# Builds into $ORVEXC_FUZZ_BUILD (default build/fuzz-native). The fuzzer runs
# on a fresh copy of tests/fuzz/corpus (the committed seeds are never changed);
# a crashing input is kept in $ORVEXC_FUZZ_BUILD/artifacts. Exits non-zero on a
# build failure, or any crash or sanitizer report while fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
case "${1:-}" in
  '') ;;
  *[!0-9]* ) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac
out=${ORVEXC_FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${ORVEXC_FUZZ_CXX:-clang++}
src=$root/tests/fuzz
mkdir -p "$out"
command -v "$cxx" >/dev/null || { echo "fuzz-menu: $cxx not found (scripts/ensure-tools.sh installs clang)" >&2; exit 2; }

flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra
       -fsanitize=address,undefined -fno-sanitize-recover=undefined
       -I"$root" -I"$src" -I"$src/shim")
sources=("$root/menu/MenuScript.cpp" "$root/menu/MenuBuilder.cpp" "$root/frame/CharText.cpp" "$src/NativeMenu.cpp")

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "fuzz-menu: building into $out"
"$cxx" "${flags[@]}" -fsanitize=fuzzer "${sources[@]}" "$src/fuzz_menu_script.cpp" -o "$out/fuzz_menu_script"
work=$out/corpus-run
rm -rf "$work" "$out/artifacts"
mkdir -p "$work" "$out/artifacts"
cp "$src"/corpus/*.mnu "$work"/
echo "fuzz-menu: fuzzing for $seconds s on $(ls "$work" | wc -l) seeds"
status=0
"$out/fuzz_menu_script" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
  -dict="$src/menu_script.dict" -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
  "$work" >"$out/fuzz.log" 2>&1 || status=$?
tail -n 25 "$out/fuzz.log"
if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|libFuzzer)|runtime error:|menu script fault' "$out/fuzz.log" \
   || [ -n "$(ls -A "$out/artifacts")" ]; then
  echo "fuzz-menu: FAILED (exit $status); log $out/fuzz.log, inputs in $out/artifacts" >&2
  ls -l "$out/artifacts" >&2
  exit 1
fi
grep -E '^Done [0-9]+ runs in [0-9]+ second' "$out/fuzz.log"
echo "fuzz-menu: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
