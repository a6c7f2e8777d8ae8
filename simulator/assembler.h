#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// The bytes of the frame being received. After a refused frame the rest of it is
// dropped until the line has been quiet for the frame gap.
struct Assembler {
  std::vector<std::uint8_t> bytes;
  std::size_t expected = 0;  // the frame's length once its first bytes tell it
  bool dropping = false;
  std::uint64_t last_us = 0;  // when the latest byte arrived
  bool watched = false;       // a gap check is scheduled

  void Clear() {
    bytes.clear();
    expected = 0;
    dropping = false;
  }
  // Forgets everything, the scheduled gap check too (the device has just lost its
  // pending work).
  void Reset() {
    Clear();
    watched = false;
  }
  bool Idle() const { return bytes.empty() && !dropping; }
};

}  // namespace sim
