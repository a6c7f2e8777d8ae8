#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "simulator/line.h"

namespace sim {

// What happened on the line, in the order it happened.
struct TraceEntry {
  enum class Kind {
    kHostByte,    // a byte from the host, at the moment it reached the device
    kDeviceByte,  // a byte from the device, at the moment the device sent it
    kCall,        // an adapter-library call of the host
    kNote,        // power, plug, faults and other events
    kViolation,   // a protocol violation the device refused
  };
  enum class Fate {
    kTaken,    // received as sent
    kGarbled,  // received at a rate (or framing) the receiver was not set to
    kLost,     // nobody there to receive it: device off, adapter unplugged
  };

  std::uint64_t time_us = 0;  // since the model was made
  Kind kind = Kind::kNote;
  std::uint8_t byte = 0;
  Fate fate = Fate::kTaken;
  LineSettings line;  // bytes: the settings they travelled with
  std::string text;   // calls, notes, violations
};

class Trace {
 public:
  void Byte(TraceEntry::Kind kind, std::uint64_t time_us, std::uint8_t byte,
            const LineSettings& line, TraceEntry::Fate fate);
  void Text(TraceEntry::Kind kind, std::uint64_t time_us, std::string text);
  void Clear() { entries_.clear(); }

  const std::vector<TraceEntry>& Entries() const { return entries_; }

  // One line per event; bytes that travelled together are printed as one line of hex,
  // of which at most `bytes_per_line` are shown.
  void Print(std::ostream& out, std::size_t bytes_per_line = 24) const;
  std::string ToString(std::size_t bytes_per_line = 24) const;

 private:
  std::vector<TraceEntry> entries_;
};

}  // namespace sim
