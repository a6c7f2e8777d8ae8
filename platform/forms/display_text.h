#pragma once

#include <string>
#include <string_view>

namespace forms {

// A code page 1252 text as UTF-16 for display: every byte its Unicode character (the
// five bytes that page leaves unassigned keep their C1 control value), each LF CR pair
// one line break '\n', and a lone LF or CR a line break as well.
std::u16string DisplayText(std::string_view cp1252);

}  // namespace forms
