#pragma once

#include <optional>
#include <string>

#include "simulator/status.h"

// What the device has seen, in words: one line per item, shared by the window and the
// printed result of a scripted run.

namespace simprog {

std::string PhaseText(const sim::Status& status);
std::string LineText(const sim::Status& status);
std::string ChunksText(const sim::Status& status);
std::string PagesText(const sim::Status& status);
std::string ViolationsText(const sim::Status& status, const std::string& last_violation);
// `difference` as Velka::FlashDifference gives it.
std::string VerdictText(const std::optional<std::string>& difference);

}  // namespace simprog
