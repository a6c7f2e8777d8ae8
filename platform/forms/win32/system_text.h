#pragma once

#include <string>
#include <string_view>

namespace forms {

// A code page 1252 text as the system's *A functions take it: the bytes unchanged,
// except that each LF CR pair becomes CR LF, the line break a static control shows.
std::string SystemText(std::string_view cp1252);

}  // namespace forms
