#pragma once

#include <string>

#include "simulator/faults.h"

// How an update ends when one fault spoils the reply of one step.
struct Outcome {
  enum class Kind {
    kSucceeded,      // the fault does not matter, or the updater recovers by itself
    kFailed,         // state 21, then idle with START; `text` in the label
    kWaitingAtSync,  // state 3 sends SyncFrame on every tick, the power prompt stays
  };
  Kind kind;
  // kFailed: the failure message, or the power prompt for state 7's ways without one.
  std::string text;

  bool operator==(const Outcome&) const = default;
};

std::string Describe(const Outcome& outcome);

// What the updater does when `kind` strikes `step` once.
Outcome ExpectedOutcome(sim::Step step, sim::FaultKind kind);
