#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/faults.h"

// The names a person gives the steps and kinds of a fault: short ones for the command
// line ("no-reply@chunk:3"), and the simulator's own descriptions for the window.

namespace simprog {

struct StepName {
  const char* name;  // on the command line
  sim::Step step;
  int last_index;  // highest index the step takes; 0 when it has none
  bool banked;     // the step names a bank as well (pages)
};

struct KindName {
  const char* name;
  sim::FaultKind kind;
};

const std::vector<StepName>& StepNames();
const std::vector<KindName>& KindNames();

// The banks of the payload, in programming order, and the pages each one has.
const std::vector<std::uint8_t>& Banks();
int PagesIn(std::uint8_t bank);

// "KIND@STEP", "KIND@STEP*" (every occurrence of the step, not only the first); STEP is
// a step name, "chunk:K", "command0c:S" or "page:BANK:K" with BANK in hex.
std::optional<sim::Fault> ParseFault(std::string_view text, std::string& error);

// "no reply at chunk 3", "... (every time)".
std::string Describe(const sim::Fault& fault);

// The syntax, for --help.
std::string FaultSyntaxHelp();

}  // namespace simprog
