#!/usr/bin/env bash
# Installs what is missing, builds, and starts the updater.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target talvek-updater
exec build/default/app/talvek-updater
