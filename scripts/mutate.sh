#!/usr/bin/env bash
# The mutation run: plants each fault of tests/mutants.txt in turn, rebuilds
# the library and the test programs that can see it, runs them, and restores
# the planted file whatever happens. One line per mutant (caught, MISSED,
# equivalent, or not planted/built), then the share caught of the others.
# Slow (a rebuild and a test run per mutant): run on demand, not in CI.
#
#   scripts/mutate.sh [--build DIR] [--list FILE] [--limit SECONDS] [TEXT...]
#
# TEXT runs only the mutants whose line holds one of them ("crt/", "calloc").
# A test run that outlasts the limit (300 s) has hung: caught, and the build's
# Wine processes are ended. Exits 1 when fewer than 90% are caught or a
# mutant could not be planted or built.
set -u
cd "$(dirname "$0")/.."
build=build/default list=tests/mutants.txt limit=300 only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) only+=("$1"); shift ;;
  esac
done
# Whether the line holds one of the texts asked for (any line when none was).
wanted() {
  [ ${#only[@]} -eq 0 ] && return 0
  local text
  for text in "${only[@]}"; do [[ "$1" == *"$text"* ]] && return 0; done
  return 1
}
[ -f "$build/CMakeCache.txt" ] || cmake --preset default >/dev/null || exit 2
build=$(cd "$build" && pwd)
log=$build/mutate.log
: >"$log"
saved=$(mktemp) planted=
restore() {
  if [ -n "$planted" ]; then cp -p "$saved" "$planted" && touch "$planted"; planted=; fi
}
trap 'restore; rm -f "$saved"' EXIT
trap 'restore; exit 130' INT TERM

# Replaces the one occurrence of $2 in file $1 by $3 (\n: a line break).
plant() {
  python3 - "$@" <<'EOF'
import sys
path, old, new = sys.argv[1], sys.argv[2].replace('\\n', '\n'), sys.argv[3].replace('\\n', '\n')
text = open(path, newline='').read()
if text.count(old) != 1:
    sys.exit(1)
open(path, 'w', newline='').write(text.replace(old, new))
EOF
}

caught=0 missed=0 equivalent=0 broken=0 built=OrvexC
report() { printf '%-12s %s: %s\n' "$1" "$file" "$why" | tee -a "$log"; }
while IFS= read -r line <&3; do
  case "$line" in '#'* | '') continue ;; esac
  wanted "$line" || continue
  file=${line%% :: *} rest=${line#* :: }
  old=${rest%% :: *} rest=${rest#* :: }
  new=${rest%% :: *} rest=${rest#* :: }
  tests=${rest%% :: *} why=${rest#* :: }
  if [ "$tests" = equivalent ]; then
    equivalent=$((equivalent + 1)); report equivalent; continue
  fi
  cp -p "$file" "$saved"
  planted=$file
  if ! plant "$file" "$old" "$new"; then
    restore; broken=$((broken + 1)); report "NOT PLANTED"; continue
  fi
  echo "==== $file: $why" >>"$log"
  # shellcheck disable=SC2086  # the programs are words
  if ! cmake --build "$build" -j2 --target OrvexC $tests >>"$log" 2>&1; then
    restore; broken=$((broken + 1)); report "NOT BUILT"; continue
  fi
  built="$built $tests"
  regex="^($(echo $tests | tr ' ' '|'))(_[0-9]+)?\$"
  (cd "$build" && timeout -k 10 "$limit" ctest -R "$regex" >>"$log" 2>&1)
  case $? in
    0) missed=$((missed + 1)); report MISSED ;;
    124 | 137) caught=$((caught + 1)); report "caught (hung)"
      WINEPREFIX=$build/wineprefix wineserver -k >/dev/null 2>&1 ;;
    *) caught=$((caught + 1)); report caught ;;
  esac
  restore
done 3<"$list"
restore
echo "rebuilding what was built from the tree as it is" | tee -a "$log"
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $(echo $built | tr ' ' '\n' | sort -u) >>"$log" 2>&1
total=$((caught + missed))
share=$((total ? caught * 100 / total : 0))
echo "caught $caught of $total mutants ($share%); $equivalent equivalent; $broken not planted or built; log: $log"
[ "$broken" -eq 0 ] && [ "$share" -ge 90 ]
