#pragma once

#include <cstdint>

#include "platform/ticks/ticks.h"

namespace ticks {

// The monotonic clock of the machine, with a tick counter that steps like the
// Windows one the device's reply windows were tuned against.
class RealClock final : public Clock {
 public:
  std::uint64_t NowUs() override;
  std::uint32_t TickMs() override;
  void Spin() override {}
  void Pass(std::uint64_t us) override;
};

}  // namespace ticks
