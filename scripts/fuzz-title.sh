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
# crashing input is kept in $ORVEXC_FUZZ_BUILD/fuzz_title_folder-artifacts. Each input is
# written as the title.ini of a folder in /dev/shm (or $TMPDIR). Exits
# non-zero on a build failure, or any crash, hang, sanitizer report or broken
# rule while fuzzing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/fuzz-common.sh"
seconds=$(fuzz_seconds "${1:-}" 10)
# The stand-ins (-I shim) come before the real headers (-I include).
fuzz_build fuzz_title_folder -I"$src/shim" -I"$root/include" -I"$root" "$src/fuzz_title_folder.cpp" \
  "$root/hostkit/TitleFolder.cpp" "$root/frame/CharText.cpp"
run() { fuzz_run fuzz_title_folder "$1" "$2" "$3" 8192 "$src/title.dict" 'title folder fault' "$src"/title/*.ini; }
run ansi "$seconds" 1252
run sjis "$(( seconds / 3 > 3 ? seconds / 3 : 3 ))" 932
