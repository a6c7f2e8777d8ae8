#include "platform/forms/win32/program_clock.h"

#include "platform/ticks/ticks.h"

namespace forms {

std::uint64_t ProgramNowUs() { return ticks::Current().NowUs(); }

}  // namespace forms
