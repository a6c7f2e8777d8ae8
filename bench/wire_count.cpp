#include "bench/wire_count.h"

#include "simulator/line.h"

namespace bench {

WireCount CountWire(const sim::Trace& trace) {
  WireCount count;
  // Picoseconds, so that rounding happens once per direction, not once per byte.
  std::uint64_t host_ps = 0;
  std::uint64_t device_ps = 0;
  for (const sim::TraceEntry& entry : trace.Entries()) {
    using Kind = sim::TraceEntry::Kind;
    if (entry.kind != Kind::kHostByte && entry.kind != Kind::kDeviceByte) continue;
    const std::uint64_t ps = sim::BitsPerByte(entry.line) * 1'000'000'000'000ull / entry.line.baud;
    if (entry.kind == Kind::kHostByte) {
      ++count.host_bytes;
      host_ps += ps;
    } else {
      ++count.device_bytes;
      device_ps += ps;
    }
  }
  count.host_wire_us = host_ps / 1'000'000;
  count.device_wire_us = device_ps / 1'000'000;
  return count;
}

}  // namespace bench
