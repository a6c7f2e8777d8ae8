#pragma once

#include <optional>
#include <string>

#include "bench/update_run.h"

namespace bench {

// The one line in which an update process hands its figures to the benchmark.
std::string FormatReport(const UpdateFigures& figures);
// Finds the line among whatever else the process wrote.
std::optional<UpdateFigures> ParseReport(const std::string& output);

}  // namespace bench
