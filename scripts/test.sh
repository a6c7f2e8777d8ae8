#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in the
# default build and under the address and undefined-behaviour sanitizers; then fuzzes
# whole updates for a minute; then the Windows build, its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --workflow --preset default
cmake --workflow --preset asan
fuzz/run.sh 60
scripts/windows-test.sh
