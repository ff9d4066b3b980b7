#!/usr/bin/env bash
# Fuzzes the host kit's title description reader (hostkit/TitleFolder.cpp,
# hostkit::LoadTitleFolder: a title folder's title.ini, as the demo host's
# --title reads it) natively with libFuzzer (clang++, AddressSanitizer,
# UndefinedBehaviorSanitizer, LeakSanitizer), against native stand-ins of the
# fake runtime and of its two file calls (tests/fuzz/shim/).
#
#   scripts/fuzz-title.sh [SECONDS]   build, fuzz SECONDS (default 10)
#
# Builds into $ORVEXC_FUZZ_BUILD (default build/fuzz-native) and fuzzes a fresh
# copy of the seeds tests/fuzz/title (the committed seeds never change) in code
# page 1252, then a third of that time (at least 3 s) in code page 932; a
# crashing input is kept in $ORVEXC_FUZZ_BUILD/title-artifacts. Each input is
# written as the title.ini of a folder in /dev/shm (or $TMPDIR). Exits
# non-zero on a build failure, or any crash, hang, sanitizer report or broken
# rule while fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
out=${ORVEXC_FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${ORVEXC_FUZZ_CXX:-clang++}
src=$root/tests/fuzz
command -v "$cxx" >/dev/null || { echo "fuzz-title: $cxx not found (scripts/ensure-tools.sh installs clang)" >&2; exit 2; }
mkdir -p "$out"
echo "fuzz-title: building into $out"
# The stand-ins (-I shim) come before the real headers (-I include).
"$cxx" -std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -I"$src/shim" -I"$root/include" -I"$root" -o "$out/fuzz_title_folder" \
  "$src/fuzz_title_folder.cpp" "$root/hostkit/TitleFolder.cpp" "$root/frame/CharText.cpp"

artifacts=$out/title-artifacts
rm -rf "$artifacts" && mkdir -p "$artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# fuzz NAME SECONDS CODEPAGE: one run on a fresh copy of the seeds.
fuzz() {
  local name=$1 time=$2 page=$3 work=$out/title-$1-run log=$out/title-$1.log status=0
  rm -rf "$work" && mkdir -p "$work" && cp "$src"/title/*.ini "$work"/
  echo "fuzz-title: $name: fuzzing for $time s on $(ls "$work" | wc -l) seeds, code page $page"
  ORVEXC_MBCP=$page "$out/fuzz_title_folder" -max_total_time="$time" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -dict="$src/title.dict" -artifact_prefix="$artifacts/$name-" -print_final_stats=1 "$work" >"$log" 2>&1 ||
    status=$?
  tail -n 20 "$log"
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (Address|Leak|libFuzzer)|runtime error:|title folder fault' "$log" \
     || [ -n "$(ls -A "$artifacts")" ]; then
    echo "fuzz-title: $name: FAILED (exit $status); log $log, inputs in $artifacts" >&2
    ls -l "$artifacts" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log"
  echo "fuzz-title: $name: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
}

fuzz ansi "$seconds" 1252
fuzz sjis "$(( seconds / 3 > 3 ? seconds / 3 : 3 ))" 932
