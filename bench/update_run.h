#pragma once

#include <cstdint>

#include "bench/wire_count.h"

namespace bench {

enum class RunClock {
  kVirtual,  // virtual time and the virtual event loop
  kReal,     // the product's clock and the Qt event loop
  kExactMs,  // the real clock with an exact millisecond counter, and the Qt event loop
};

// One single-pass update: the real main window, the real sequencer and the simulated
// Velka with its default timings, switched on before START.
struct UpdateFigures {
  bool succeeded = false;         // success shown and the flash equals the firmware
  std::uint64_t duration_us = 0;  // START to the end of the success step, on the run's clock
  std::uint64_t cpu_us = 0;       // process CPU time over the same span
  WireCount wire;
  std::uint64_t device_work_us = 0;  // erase, page writes and closing write, as simulated
};

// Runs the update once in this process; call once per process.
UpdateFigures RunUpdate(RunClock run_clock);

}  // namespace bench
