#pragma once

#include <cstdint>

#include "platform/ticks/ticks.h"

namespace ticks {

// Time that moves only when told to: by the virtual event loop, by each turn of a
// busy wait (one millisecond) and by transfers on a simulated wire. Exact to the
// microsecond, so the tick counter advances in whole milliseconds.
class VirtualClock final : public Clock {
 public:
  std::uint64_t NowUs() override { return now_us_; }
  std::uint32_t TickMs() override { return static_cast<std::uint32_t>(now_us_ / 1000); }
  void Spin() override { now_us_ += 1000; }
  void Pass(std::uint64_t us) override { now_us_ += us; }

  // Moves time forward to `us`; never backward.
  void AdvanceTo(std::uint64_t us) {
    if (us > now_us_) now_us_ = us;
  }
  // Puts the tick counter at `ms` (for example just before its wrap).
  void SetTickMs(std::uint32_t ms) { now_us_ = std::uint64_t{ms} * 1000; }

 private:
  std::uint64_t now_us_ = 0;
};

}  // namespace ticks
