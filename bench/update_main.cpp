// talvek-bench-update: runs one single-pass update against the simulated Velka and
// prints its figures as one line; the benchmark starts it once per run, so that each
// run begins in a fresh process and its peak memory is its own.
// Usage: talvek-bench-update virtual|real|exact-ms

#include <cstdio>
#include <cstring>

#include "bench/update_report.h"
#include "bench/update_run.h"

int main(int argc, char** argv) {
  using bench::RunClock;
  if (argc != 2) return 2;
  RunClock run_clock;
  if (std::strcmp(argv[1], "virtual") == 0) {
    run_clock = RunClock::kVirtual;
  } else if (std::strcmp(argv[1], "real") == 0) {
    run_clock = RunClock::kReal;
  } else if (std::strcmp(argv[1], "exact-ms") == 0) {
    run_clock = RunClock::kExactMs;
  } else {
    return 2;
  }
  const bench::UpdateFigures figures = bench::RunUpdate(run_clock);
  std::fputs(bench::FormatReport(figures).c_str(), stdout);
  return figures.succeeded ? 0 : 1;
}
