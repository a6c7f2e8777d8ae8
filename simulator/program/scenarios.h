#pragma once

#include <vector>

#include "simulator/options.h"

namespace simprog {

// The kinds of device the window offers, in its order.
struct ScenarioName {
  const char* name;   // on the command line
  const char* label;  // in the window
  sim::Scenario scenario;
};

inline const std::vector<ScenarioName>& ScenarioNames() {
  static const std::vector<ScenarioName> names = {
      {"one-pass", "one boot pass", {}},
      {"two-passes", "two boot passes (power cycle)", {.needs_second_pass = true}},
      {"two-passes-96",
       "two passes, later probes 0x96 again",
       {.needs_second_pass = true, .later_probes_answer_96 = true}},
  };
  return names;
}

}  // namespace simprog
