#pragma once

#include <cstdint>

#include "platform/ticks/ticks.h"

namespace ticks {

// The Windows clocks themselves: the tick counter is the system's GetTickCount, the
// microsecond line the performance counter.
class WindowsClock final : public Clock {
 public:
  std::uint64_t NowUs() override;
  std::uint32_t TickMs() override;
  void Spin() override {}
  void Pass(std::uint64_t us) override;
};

}  // namespace ticks
