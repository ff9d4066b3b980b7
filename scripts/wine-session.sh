#!/usr/bin/env bash
# start|stop BUILD_DIR: the Wine session that the tests of one build tree run in.
# start: creates the build's own prefix, starts a persistent wineserver and Wine's
# services with every standard stream redirected away (so that no test inherits
# their pipes), and an Xvfb display when none is set.  stop: ends only these.
set -u
action=$1
build=$(cd "$2" && pwd)
. "$(dirname "$0")/wine-arch.sh"
case "$action" in
start)
  if [ -z "${DISPLAY:-}" ]; then
    rm -f "$build/wine-display"
    exec 3>"$build/xvfb.displayfd"
    setsid Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 </dev/null >/dev/null 2>&1 &
    echo $! >"$build/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$build/xvfb.displayfd" ] && break; sleep 0.1; done
    [ -s "$build/xvfb.displayfd" ] && echo ":$(head -1 "$build/xvfb.displayfd")" >"$build/wine-display"
    [ -f "$build/wine-display" ] && export DISPLAY=$(cat "$build/wine-display")
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  "$WINE" wineboot </dev/null >/dev/null 2>&1
  # A test that crashes fails at once: no debugger is started for it
  # (winedbg --auto waits for a console that a test has not got).
  "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /d no-debugger /f </dev/null >/dev/null 2>&1
  # A process of the session's own, waiting until the session stops, keeps
  # Wine's desktop (explorer) up between the tests: the server ends it with
  # the last user process, and each test would start it again, which a
  # window waits for 10 s at most: too short where 32-bit code is emulated
  # and the machine busy. It says when it runs.
  ready=$WINEPREFIX/drive_c/windows/temp/orvexc-session-holder
  rm -f "$ready"
  setsid sh -c 'sleep 86400 | exec "$0" cmd /c "echo ready>C:\windows\temp\orvexc-session-holder & pause"' \
    "$WINE" >/dev/null 2>&1 &
  echo $! >"$build/wine-holder.pid"
  for _ in $(seq 600); do [ -s "$ready" ] && break; sleep 0.1; done
  # The desktop, started here with none of a test's streams: the one wineboot
  # started has ended where the holder came later than a second after the
  # last process (emulated), and the first test to make a window would start
  # it again, holding that test's output pipe open until the session stops
  # (CTest waits for it). A desktop still ending is given time to end.
  sleep 2
  setsid "$WINE" explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  echo "wine session ready: WINEPREFIX=$WINEPREFIX DISPLAY=${DISPLAY:-}"
  ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1
  if [ -f "$build/wine-holder.pid" ]; then kill -- -"$(cat "$build/wine-holder.pid")" 2>/dev/null; rm -f "$build/wine-holder.pid"; fi
  if [ -f "$build/xvfb.pid" ]; then kill "$(cat "$build/xvfb.pid")" 2>/dev/null; rm -f "$build/xvfb.pid" "$build/wine-display" "$build/xvfb.displayfd"; fi
  echo "wine session stopped"
  ;;
esac
exit 0
