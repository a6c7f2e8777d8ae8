#pragma once

#include <cstdint>

namespace forms {

// The program clock's microsecond line (ticks::Current), for files that include
// <windows.h>, whose GetTickCount clashes with the one of platform/ticks/ticks.h.
std::uint64_t ProgramNowUs();

}  // namespace forms
