#pragma once

#include <cstdint>

// The system calls behind WindowsClock, apart from ticks.h: its GetTickCount (the
// program's counter) and the one of <windows.h> cannot be declared in one file.

namespace ticks::win {

std::uint32_t SystemTickCount();
std::uint64_t PerformanceCounterUs();
// Sleeps at least `us`, rounded up to whole milliseconds.
void SleepUs(std::uint64_t us);

}  // namespace ticks::win
