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
# $ORVEXC_FUZZ_BUILD/fuzz_menu_check-artifacts. Exits non-zero on a build failure,
# or any crash, hang, sanitizer report or broken rule while fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/fuzz-common.sh"
seconds=$(fuzz_seconds "${1:-}" 15)
fuzz_build fuzz_menu_check -I"$root" -I"$src/shim" "$src/fuzz_menu_check.cpp" "$root/tools/menu-check/ScriptCheck.cpp" \
  "$root/tools/menu-check/Diagnosis.cpp" "$root/tools/menu-check/RcDifferences.cpp" "$root/menu/MenuScript.cpp" \
  "$root/frame/CharText.cpp"
run() { fuzz_run fuzz_menu_check "$1" "$2" "$3" 16384 "$src/menu_script.dict" 'menu check fault' "${@:4}"; }
run corpus "$seconds" 1252 "$src"/menu-check/* "$root"/tests/menu/corpus/*.mnu
run sjis "$(( seconds / 3 > 5 ? seconds / 3 : 5 ))" 932 "$src"/menu-check/* "$src"/sjis/*.mnu
