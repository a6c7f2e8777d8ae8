#include "platform/ticks/win/windows_clock.h"

#include "platform/ticks/win/system_counters.h"

namespace ticks {

std::uint64_t WindowsClock::NowUs() { return win::PerformanceCounterUs(); }

std::uint32_t WindowsClock::TickMs() { return win::SystemTickCount(); }

void WindowsClock::Pass(std::uint64_t us) { win::SleepUs(us); }

}  // namespace ticks
