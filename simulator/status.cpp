#include "simulator/status.h"

#include <cstdio>

namespace sim {

const char* Describe(Phase phase) {
  switch (phase) {
    case Phase::kOff:
      return "off";
    case Phase::kBootRom:
      return "boot ROM";
    case Phase::kLoader:
      return "loader";
    case Phase::kErasing:
      return "erasing";
    case Phase::kProgramming:
      return "programming";
  }
  return "?";
}

std::string Violation::ToString() const {
  char time[32];
  std::snprintf(time, sizeof time, "%.3f ms: ", static_cast<double>(time_us) / 1000.0);
  return time + text;
}

}  // namespace sim
