# Sourced by scripts/fuzz-menu-check.sh and scripts/fuzz-title.sh, with
# $root set: builds a libFuzzer target natively and runs it on fresh copies of
# seeds, failing on any crash, hang, sanitizer report or broken rule.
out=${ORVEXC_FUZZ_BUILD:-$root/build/fuzz-native}
cxx=${ORVEXC_FUZZ_CXX:-clang++}
src=$root/tests/fuzz
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# fuzz_seconds ARG DEFAULT: the run's length from the command line.
fuzz_seconds() {
  local seconds=${1:-$2}
  case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
  echo "$seconds"
}

# fuzz_build TARGET SOURCE...: builds $out/TARGET with the sanitizers; its
# artifacts go to a fresh $out/TARGET-artifacts.
fuzz_build() {
  local target=$1; shift
  command -v "$cxx" >/dev/null || { echo "$target: $cxx not found (scripts/ensure-tools.sh installs clang)" >&2; exit 2; }
  mkdir -p "$out"
  echo "$target: building into $out"
  "$cxx" -std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined "$@" -o "$out/$target"
  rm -rf "$out/$target-artifacts" && mkdir -p "$out/$target-artifacts"
}

# fuzz_run TARGET NAME SECONDS CODEPAGE MAXLEN DICT FAULT SEEDS...: one run
# on a fresh copy of the seeds; FAULT is the target's own report of a broken rule.
fuzz_run() {
  local target=$1 name=$2 time=$3 page=$4 maxlen=$5 dict=$6 fault=$7 status=0
  local work=$out/$target-$name-run log=$out/$target-$name.log artifacts=$out/$target-artifacts
  shift 7
  rm -rf "$work" && mkdir -p "$work" && cp "$@" "$work"/
  echo "$target: $name: fuzzing for $time s on $(ls "$work" | wc -l) seeds, code page $page"
  ORVEXC_MBCP=$page "$out/$target" -max_total_time="$time" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
    -dict="$dict" -artifact_prefix="$artifacts/$name-" -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
  tail -n 20 "$log"
  if [ "$status" -ne 0 ] || grep -qE "ERROR: (Address|Leak|libFuzzer)|runtime error:|$fault" "$log" \
     || [ -n "$(ls -A "$artifacts")" ]; then
    echo "$target: $name: FAILED (exit $status); log $log, inputs in $artifacts" >&2
    ls -l "$artifacts" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log"
  echo "$target: $name: corpus grew to $(ls "$work" | wc -l) inputs, no faults"
}
