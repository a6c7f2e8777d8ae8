#pragma once

#include <cstdint>

// The millisecond tick counter that every busy wait reads, and the clock behind it.
// One clock serves the whole program at a time: the tick counter, the timers of the
// window layer and, where attached, the simulated device all read it.

namespace ticks {

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds on a monotonic time line; timers and the simulated device use this.
  virtual std::uint64_t NowUs() = 0;
  // The 32-bit millisecond counter as busy waits see it (may step coarser than NowUs).
  virtual std::uint32_t TickMs() = 0;
  // One turn of a busy-wait loop.
  virtual void Spin() = 0;
  // Lets the given time go by, as a transfer on the wire does.
  virtual void Pass(std::uint64_t us) = 0;
};

// Makes `clock` the program's clock; it must outlive its use.
void Use(Clock& clock);
Clock& Current();

}  // namespace ticks

// The system's millisecond tick counter; wraps after 2^32 ms.
std::uint32_t GetTickCount();
