#!/usr/bin/env bash
# Cross-builds talvek-updater.exe and the test programs with MinGW-w64 and runs the tests
# under Wine on a virtual X display (Wine needs one to make windows). Installs its own
# Debian packages when missing; the Wine prefix lives in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth googletest)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  log=$(mktemp)
  if ! { "${sudo[@]}" apt-get update -qq && \
         DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
           "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
  fi
  rm -f "$log"
fi

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
xvfb-run -a ctest --preset windows
