#pragma once

#include <cstdint>

#include "simulator/trace.h"

namespace bench {

// What crossed the serial line, each way, and how long it occupied the line at the
// settings each byte travelled with (start bit, data bits, stop bits).
struct WireCount {
  std::uint64_t host_bytes = 0;
  std::uint64_t device_bytes = 0;
  std::uint64_t host_wire_us = 0;
  std::uint64_t device_wire_us = 0;
};

WireCount CountWire(const sim::Trace& trace);

}  // namespace bench
