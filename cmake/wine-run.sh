#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests of the Windows build:
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is a Wine prefix inside the build folder, made on first use. A crash
# ends the run with an exit code instead of opening Wine's debugger dialog,
# and every run is bounded in time.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
limit=${VELSONA_WINE_TIMEOUT:-300}

mkdir -p "$prefix"
exec 9>"$prefix/.lock"
flock 9
if [ ! -f "$prefix/.velsona-ready" ]; then
  timeout 300 wineboot -i >/dev/null 2>&1
  # No debugger dialog on a crash: the program ends with an error code.
  timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
  timeout 60 wineserver -w
  touch "$prefix/.velsona-ready"
fi
# The session's own processes (services, the desktop window) outlive each
# program and keep the standard handles of the one that started them: started
# here with none, a test's output ends when its program does, not when the
# session does. The server then stays up for a while between programs.
wineserver --persistent=30 </dev/null >/dev/null 2>&1 || true
timeout 60 wineboot </dev/null >/dev/null 2>&1 || true
flock -u 9
exec timeout "$limit" wine "$@"
