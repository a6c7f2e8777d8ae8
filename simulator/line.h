#pragma once

#include <cstdint>
#include <string>

namespace sim {

// The serial settings of one end of the line, as the adapter library names them.
struct LineSettings {
  std::uint32_t baud = 9600;
  std::uint8_t word_length = 8;  // data bits: 7 or 8
  std::uint8_t stop_bits = 1;    // 1 or 2 (the count, not the library's code)
  std::uint8_t parity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space

  bool operator==(const LineSettings&) const = default;
};

inline constexpr std::uint32_t kBootRomBaud = 19200;
inline constexpr std::uint32_t kLoaderBaud = 115200;

// Bits one byte occupies on the wire: start bit, data bits, parity bit, stop bits.
inline std::uint32_t BitsPerByte(const LineSettings& line) {
  return 1u + line.word_length + (line.parity != 0 ? 1u : 0u) + line.stop_bits;
}

// Microseconds from the start of the first of `count` back-to-back bytes to the end of
// the last one, rounded up.
inline std::uint64_t WireTimeUs(std::uint64_t count, std::uint32_t bits_per_byte,
                                std::uint32_t baud) {
  return (count * bits_per_byte * 1'000'000ull + baud - 1) / baud;
}

// Whether a receiver set to 8 data bits, no parity, at `listen_baud` makes sense of
// bytes sent with `line` (a UART tolerates a few percent of rate error; the number of
// stop bits only changes the idle time between bytes).
inline bool Understands(std::uint32_t listen_baud, const LineSettings& line) {
  const std::uint64_t diff =
      line.baud > listen_baud ? line.baud - listen_baud : listen_baud - line.baud;
  return line.word_length == 8 && line.parity == 0 && diff * 100 <= 3ull * listen_baud;
}

// "19200 8N2" and the like.
inline std::string Describe(const LineSettings& line) {
  static constexpr char kParity[] = {'N', 'O', 'E', 'M', 'S'};
  return std::to_string(line.baud) + " " + std::to_string(line.word_length) +
         (line.parity < 5 ? kParity[line.parity] : '?') + std::to_string(line.stop_bits);
}

}  // namespace sim
