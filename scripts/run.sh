#!/usr/bin/env bash
# Installs what is missing, builds, and starts the updater with the simulated Velka.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target talvek-updater-sim
exec build/default/simulator/program/talvek-updater-sim "$@"
