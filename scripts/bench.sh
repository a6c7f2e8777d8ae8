#!/usr/bin/env bash
# Installs what is missing, builds the benchmark in the default build and runs it
# (about two minutes; --quick: one update on virtual time and one start-up).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target talvek-bench
exec build/default/bench/talvek-bench "$@"
