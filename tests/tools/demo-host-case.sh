#!/usr/bin/env bash
# demo-host-case.sh STATUS TEXTS HOST [VAR=VALUE...] ARGUMENTS...: runs the demo
# host under Wine once; passes when it exits with STATUS and its output holds
# every text of TEXTS (separated by " && "). VAR=VALUE before the arguments set
# the environment of that run (DISPLAY= for a machine without a display);
# KILL_HELD_CHILD=1 kills the title's process from outside (SIGKILL, as the
# system's OOM killer would) once it waits with --hold; HOLD_FILE=PATH has
# another process hold PATH open without sharing during the run (hold-file.exe);
# OUTPUT_CODE_PAGE=N reads the output as text of code page N (TEXTS are UTF-8).
set -u
status=$1 texts=$2 host=$3; shift 3
env=() kill_held= hold= page=
while [ $# -gt 0 ] && [[ $1 == [A-Z]*=* ]]; do
  case $1 in
    KILL_HELD_CHILD=1) kill_held=1 ;;
    HOLD_FILE=*) hold=${1#HOLD_FILE=} ;;
    OUTPUT_CODE_PAGE=*) page=CP${1#OUTPUT_CODE_PAGE=} ;;
    *) env+=("$1") ;;
  esac
  shift
done
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp)
trap 'rm -f "$log" "$log.held"; touch "$log.release"; wait; rm -f "$log.release"' EXIT
if [ -n "$hold" ]; then
  "$here/../../scripts/wine-run.sh" mods/hold-file.exe "$hold" "$log.held" "$log.release" </dev/null &
  for _ in $(seq 600); do [ -e "$log.held" ] && break; sleep 0.05; done
  [ -e "$log.held" ] || { echo "FAIL: hold-file did not take $hold"; exit 1; }
fi
env "${env[@]}" "$here/../../scripts/wine-run.sh" "$host" "$@" >"$log" 2>&1 &
run=$!
if [ -n "$kill_held" ]; then
  for _ in $(seq 600); do grep -q "until a debugger attaches" "$log" && break; sleep 0.1; done
  pkill -KILL -f -- "no-sandbox --hold" || echo "FAIL: no held title's process to kill"
fi
wait $run
got=$?
if [ -n "$page" ]; then out=$(iconv -c -f "$page" -t UTF-8 "$log" | tr -d '\r')
else out=$(tr -d '\r' <"$log"); fi
echo "$out"
echo "exit status $got"
[ "$got" = "$status" ] || { echo "FAIL: expected exit status $status"; exit 1; }
rest=$texts
while [ -n "$rest" ]; do
  text=${rest%% && *}
  [ "$text" = "$rest" ] && rest= || rest=${rest#* && }
  grep -qF -- "$text" <<<"$out" || { echo "FAIL: the output does not hold: $text"; exit 1; }
done
