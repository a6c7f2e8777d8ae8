#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "simulator/line.h"

namespace sim {

enum class Phase { kOff, kBootRom, kLoader, kErasing, kProgramming };
const char* Describe(Phase phase);

// A frame the device refused, and when (milliseconds since the model was made).
struct Violation {
  std::uint64_t time_us = 0;
  std::string text;
  std::string ToString() const;
};

// What the device's control window shows.
struct Status {
  Phase phase = Phase::kOff;
  bool adapter_plugged = true;
  bool adapter_open = false;
  LineSettings host_line;            // as the host last set the adapter
  std::uint32_t listening_baud = 0;  // the device's receiver; 0 when off
  int chunks_received = 0;           // loader chunks in RAM, of 12
  bool loader_running = false;
  bool awaiting_power_cycle = false;
  int pages_written = 0;    // since the last erase
  int pages_with_data = 0;  // in the payload
  bool closing_received = false;
  std::size_t violations = 0;
  std::uint64_t bytes_from_host = 0;  // that reached the powered device
  std::uint64_t bytes_to_host = 0;
};

}  // namespace sim
