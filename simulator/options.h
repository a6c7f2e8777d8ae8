#pragma once

#include <cstdint>

namespace sim {

// How long the device takes for its work, and how the adapter delays what it receives.
struct Timings {
  std::uint32_t erase_ms = 2000;            // "E\r" to the 'f' that ends the erase
  std::uint32_t page_write_ms = 5;          // last byte of a page to its 'f'
  std::uint32_t closing_ms = 1;             // last byte of the closing frame to its 'f'
  std::uint32_t adapter_latency_us = 1000;  // byte received by the adapter to readable
  // Silence that makes the device drop a partly received frame (and, after a refused
  // frame, the silence it waits for before it listens again).
  std::uint32_t frame_gap_ms = 50;
};

// Which kind of device this is.
struct Scenario {
  // After its first power-on the probe answers 0x96, and after the first erase the
  // device waits for a power cycle; the next power-on answers 'i'.
  bool needs_second_pass = false;
  // With needs_second_pass: the probe of later power-ons answers 0x96 as well.
  bool later_probes_answer_96 = false;
  // The flash contents before anything was erased (the firmware already in the device).
  std::uint8_t old_flash_fill = 0x00;
};

}  // namespace sim
