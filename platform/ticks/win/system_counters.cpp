#include "platform/ticks/win/system_counters.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace ticks::win {

std::uint32_t SystemTickCount() { return ::GetTickCount(); }

std::uint64_t PerformanceCounterUs() {
  static const std::uint64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<std::uint64_t>(f.QuadPart);
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  const auto ticks = static_cast<std::uint64_t>(count.QuadPart);
  // Split so that the product cannot overflow in a long uptime.
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

void SleepUs(std::uint64_t us) {
  if (us == 0) return;
  Sleep(static_cast<DWORD>((us + 999) / 1000));
}

}  // namespace ticks::win
