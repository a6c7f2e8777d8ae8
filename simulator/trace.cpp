#include "simulator/trace.h"

#include <cstdio>
#include <sstream>

namespace sim {
namespace {

std::string Time(std::uint64_t us) {
  char text[32];
  std::snprintf(text, sizeof text, "%10.3f ms", static_cast<double>(us) / 1000.0);
  return text;
}

const char* FateText(TraceEntry::Fate fate) {
  switch (fate) {
    case TraceEntry::Fate::kTaken:
      return "";
    case TraceEntry::Fate::kGarbled:
      return " (garbled: rate or framing mismatch)";
    case TraceEntry::Fate::kLost:
      return " (lost: nobody receiving)";
  }
  return "";
}

bool IsByte(const TraceEntry& e) {
  return e.kind == TraceEntry::Kind::kHostByte || e.kind == TraceEntry::Kind::kDeviceByte;
}

// Bytes of one direction, line and fate, without anything else between them and less
// than 5 ms apart, print as one line.
bool SameGroup(const TraceEntry& a, const TraceEntry& b) {
  return IsByte(a) && IsByte(b) && a.kind == b.kind && a.fate == b.fate && a.line == b.line &&
         b.time_us - a.time_us < 5000;
}

}  // namespace

void Trace::Byte(TraceEntry::Kind kind, std::uint64_t time_us, std::uint8_t byte,
                 const LineSettings& line, TraceEntry::Fate fate) {
  TraceEntry entry;
  entry.time_us = time_us;
  entry.kind = kind;
  entry.byte = byte;
  entry.fate = fate;
  entry.line = line;
  entries_.push_back(std::move(entry));
}

void Trace::Text(TraceEntry::Kind kind, std::uint64_t time_us, std::string text) {
  TraceEntry entry;
  entry.time_us = time_us;
  entry.kind = kind;
  entry.text = std::move(text);
  entries_.push_back(std::move(entry));
}

void Trace::Print(std::ostream& out, std::size_t bytes_per_line) const {
  for (std::size_t i = 0; i < entries_.size();) {
    const TraceEntry& e = entries_[i];
    out << Time(e.time_us) << "  ";
    if (!IsByte(e)) {
      switch (e.kind) {
        case TraceEntry::Kind::kCall:
          out << "call    ";
          break;
        case TraceEntry::Kind::kViolation:
          out << "VIOLATION ";
          break;
        default:
          out << "--      ";
          break;
      }
      out << e.text << '\n';
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < entries_.size() && SameGroup(entries_[end - 1], entries_[end])) ++end;
    out << (e.kind == TraceEntry::Kind::kHostByte ? "host>dev " : "dev>host ") << Describe(e.line)
        << " ";
    for (std::size_t k = i; k < end && k - i < bytes_per_line; ++k) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", entries_[k].byte);
      out << hex;
    }
    if (end - i > bytes_per_line) out << " ... (" << end - i << " bytes)";
    out << FateText(e.fate) << '\n';
    i = end;
  }
}

std::string Trace::ToString(std::size_t bytes_per_line) const {
  std::ostringstream out;
  Print(out, bytes_per_line);
  return out.str();
}

}  // namespace sim
