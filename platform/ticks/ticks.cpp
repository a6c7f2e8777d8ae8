#include "platform/ticks/ticks.h"

#include "platform/ticks/real_clock.h"

namespace ticks {
namespace {

Clock* current = nullptr;

}  // namespace

void Use(Clock& clock) { current = &clock; }

Clock& Current() {
  if (current == nullptr) {
    static RealClock fallback;
    current = &fallback;
  }
  return *current;
}

}  // namespace ticks

std::uint32_t GetTickCount() { return ticks::Current().TickMs(); }
