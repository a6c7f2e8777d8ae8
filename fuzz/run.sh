#!/usr/bin/env bash
# Builds the fuzz preset and fuzzes whole updates for a bounded time (default 60 s),
# starting from fuzz/corpus. Fails on any finding; the input that found it is left in
# build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/findings
# The fuzzer's progress goes to a log; only a finding, or the final figures, are shown.
log=build/fuzz/fuzz.log
if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     build/fuzz/fuzz/update_fuzzer -max_total_time="$seconds" -max_len=1024 -timeout=30 \
     -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ "$work" fuzz/corpus \
     >"$log" 2>&1; then
  tail -n 80 "$log"
  echo "fuzzing found a fault; the input is in build/fuzz/findings/" >&2
  exit 1
fi
grep -E '^(stat::|Done)' "$log"
