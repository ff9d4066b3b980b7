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
# on a fresh copy of tests/menu/corpus (the committed seeds are never changed),
# then of the Shift-JIS seeds tests/fuzz/sjis in code page 932;
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
rm -rf "$out/artifacts"
mkdir -p "$out/artifacts"

# fuzz NAME SEEDS SECONDS CODEPAGE: one run on a fresh copy of the seeds, the
# stand-in C runtime in that multibyte code page.
fuzz() {
  local name=$1 seeds=$2 time=$3 page=$4 work=$out/$1-run log=$out/$1.log status=0
  rm -rf "$work" && mkdir -p "$work" && cp "$seeds"/*.mnu "$work"/
  echo "fuzz-menu: $name: fuzzing for $time s on $(ls "$work" | wc -l) seeds, code page $page"
  ORVEXC_MBCP=$page "$out/fuzz_menu_script" -max_total_time="$time" -max_len=16384 -timeout=10 \
    -rss_limit_mb=2048 -dict="$src/menu_script.dict" -artifact_prefix="$out/artifacts/$name-" \
    -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
  tail -n 25 "$log"
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|libFuzzer)|runtime error:|menu script fault' "$log" \
     || [ -n "$(ls -A "$out/artifacts")" ]; then
    echo "fuzz-menu: $name: FAILED (exit $status); log $log, inputs in $out/artifacts" >&2
    ls -l "$out/artifacts" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log"
  echo "fuzz-menu: $name: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
}

# The golden corpus in the single-byte control, then the Shift-JIS seeds in
# code page 932 for a third of the time (at least 5 s).
fuzz corpus "$root/tests/menu/corpus" "$seconds" 1252
fuzz sjis "$src/sjis" "$(( seconds / 3 > 5 ? seconds / 3 : 5 ))" 932
