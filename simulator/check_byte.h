#pragma once

#include <cstdint>

namespace sim {

// The boot ROM's check byte over a 16-bit sum: ones' complement of the end-around-carry
// byte sum.
inline std::uint8_t CheckByte(std::uint16_t sum) {
  unsigned f = (sum & 0xFFu) + (sum >> 8);
  f += f >> 8;
  return static_cast<std::uint8_t>((0xFFu - f) & 0xFFu);
}

}  // namespace sim
