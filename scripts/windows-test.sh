#!/usr/bin/env bash
# Cross-builds talvek-updater.exe and the test programs with MinGW-w64 and runs the tests
# under Wine on a virtual X display (Wine needs one to make windows). Installs its own
# Debian packages when missing; the Wine prefix lives in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth googletest

export WINEPREFIX="$PWD/build/windows/wineprefix"
export WINEDEBUG=-all
cmake --preset windows
cmake --build --preset windows
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  # No window manager runs on the virtual display: Wine's windows manage themselves,
  # instead of Wine waiting two seconds for a manager at every window hidden.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
fi
# One Wine session for the whole run, started apart from the tests: the first Wine program
# of a session leaves the session's services running with its output handles, and CTest
# would count them as part of that test until the session ends.
xvfb-run -a bash -c '
  wineserver -p && wine wineboot </dev/null >/dev/null 2>&1
  status=0
  ctest --preset windows || status=$?
  wineserver -k
  exit $status'
