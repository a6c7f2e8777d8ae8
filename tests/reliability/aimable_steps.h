#pragma once

#include <vector>

#include "simulator/faults.h"

// Every step of a two-pass-capable update at which the simulator can aim a fault, in
// the order an update meets them: both Command0CFrames, all 12 chunks and every page
// that holds data in the built-in payload.
std::vector<sim::StepRef> AimableSteps();
