#pragma once

#include <time.h>

#include <cstdint>

namespace bench {

// The system-wide monotonic clock, the same in every process, in nanoseconds.
inline std::int64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

}  // namespace bench
