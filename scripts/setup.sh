#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing; with
# package names as arguments, those instead. Works as root or through sudo; prints
# nothing when nothing is to do.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          fonts-dejavu-core desktop-file-utils appstream dpkg-dev clang libclang-rt-14-dev)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

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
