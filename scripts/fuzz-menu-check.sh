#!/usr/bin/env bash
# Fuzzes the menu checker's diagnosis (tools/menu-check/ScriptCheck.cpp with
# Diagnosis.cpp and RcDifferences.cpp, and the parser under them) natively
# with libFuzzer (clang++, AddressSanitizer, UndefinedBehaviorSanitizer,
# LeakSanitizer): what orvexc-menu-check reports on any file's bytes.
#
#   scripts/fuzz-menu-check.sh [SECONDS]   build, fuzz SECONDS (default 15)
#
# Builds into $ORVEXC_FUZZ_BUILD (default build/fuzz-native). The fuzzer runs
# on a fresh copy of the checker's seeds tests/fuzz/menu-check and the golden
# corpus tests/menu/corpus (the committed seeds never change) in code page
# 1252, then a third of that time (at least 5 s) on the Shift-JIS seeds
# tests/fuzz/sjis in code page 932; a crashing or hanging input is kept in
# $ORVEXC_FUZZ_BUILD/menu-check-artifacts. Exits non-zero on a build failure,
# or any crash, hang, sanitizer report or broken rule while fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
out=${ORVEXC_FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${ORVEXC_FUZZ_CXX:-clang++}
src=$root/tests/fuzz
command -v "$cxx" >/dev/null || { echo "fuzz-menu-check: $cxx not found (scripts/ensure-tools.sh installs clang)" >&2; exit 2; }
mkdir -p "$out"
echo "fuzz-menu-check: building into $out"
"$cxx" -std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$root" -I"$src/shim" -o "$out/fuzz_menu_check" "$src/fuzz_menu_check.cpp" \
  "$root/tools/menu-check/ScriptCheck.cpp" "$root/tools/menu-check/Diagnosis.cpp" \
  "$root/tools/menu-check/RcDifferences.cpp" "$root/menu/MenuScript.cpp" "$root/frame/CharText.cpp"

artifacts=$out/menu-check-artifacts
rm -rf "$artifacts" && mkdir -p "$artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# fuzz NAME SECONDS CODEPAGE SEEDS...: one run on a fresh copy of the seeds.
fuzz() {
  local name=$1 time=$2 page=$3 work=$out/menu-check-$1-run log=$out/menu-check-$1.log status=0
  shift 3
  rm -rf "$work" && mkdir -p "$work" && cp "$@" "$work"/
  echo "fuzz-menu-check: $name: fuzzing for $time s on $(ls "$work" | wc -l) seeds, code page $page"
  ORVEXC_MBCP=$page "$out/fuzz_menu_check" -max_total_time="$time" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -dict="$src/menu_script.dict" -artifact_prefix="$artifacts/$name-" -print_final_stats=1 "$work" >"$log" 2>&1 ||
    status=$?
  tail -n 20 "$log"
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|libFuzzer)|runtime error:|menu check fault' "$log" \
     || [ -n "$(ls -A "$artifacts")" ]; then
    echo "fuzz-menu-check: $name: FAILED (exit $status); log $log, inputs in $artifacts" >&2
    ls -l "$artifacts" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log"
  echo "fuzz-menu-check: $name: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
}

fuzz corpus "$seconds" 1252 "$src"/menu-check/* "$root"/tests/menu/corpus/*.mnu
fuzz sjis "$(( seconds / 3 > 5 ? seconds / 3 : 5 ))" 932 "$src"/menu-check/* "$src"/sjis/*.mnu
