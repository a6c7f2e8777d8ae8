#pragma once

#include <vector>

#include "simulator/faults.h"

// Every step of an update at which the simulator can aim a fault, in the order an
// update meets them: both Command0CFrames, all 12 chunks and the pages that hold data
// in the built-in payload. `grouped` keeps of the pages only those at either end of a
// run of pages with data (the first, the last, and each next to a skipped page): the
// pages between are alike to the updater.
std::vector<sim::StepRef> AimableSteps(bool grouped);
