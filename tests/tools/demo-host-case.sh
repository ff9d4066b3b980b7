#!/usr/bin/env bash
# demo-host-case.sh STATUS TEXTS HOST [VAR=VALUE...] ARGUMENTS...: runs the demo
# host under Wine once; passes when it exits with STATUS and its output holds
# every text of TEXTS (separated by " && "). VAR=VALUE before the arguments set
# the environment of that run (DISPLAY= for a machine without a display).
set -u
status=$1 texts=$2 host=$3; shift 3
env=()
while [ $# -gt 0 ] && [[ $1 == [A-Z]*=* ]]; do env+=("$1"); shift; done
here=$(cd "$(dirname "$0")" && pwd)
out=$(env "${env[@]}" "$here/../../scripts/wine-run.sh" "$host" "$@" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}")
got=$?
echo "$out"
echo "exit status $got"
[ "$got" = "$status" ] || { echo "FAIL: expected exit status $status"; exit 1; }
rest=$texts
while [ -n "$rest" ]; do
  text=${rest%% && *}
  [ "$text" = "$rest" ] && rest= || rest=${rest#* && }
  grep -qF -- "$text" <<<"$out" || { echo "FAIL: the output does not hold: $text"; exit 1; }
done
