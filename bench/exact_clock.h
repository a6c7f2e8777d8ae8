#pragma once

#include <cstdint>

#include "platform/ticks/real_clock.h"

namespace bench {

// The machine's monotonic clock with a tick counter exact to the millisecond. Beside the
// product's clock, whose counter steps 15.625 ms at a time, it shows how much of a real
// run's length that stepping accounts for.
class ExactClock final : public ticks::Clock {
 public:
  std::uint64_t NowUs() override { return real_.NowUs(); }
  std::uint32_t TickMs() override { return static_cast<std::uint32_t>(real_.NowUs() / 1000); }
  void Spin() override {}
  void Pass(std::uint64_t us) override { real_.Pass(us); }

 private:
  ticks::RealClock real_;
};

}  // namespace bench
