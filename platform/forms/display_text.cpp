#include "platform/forms/display_text.h"

#include <array>

namespace forms {
namespace {

// 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::u16string DisplayText(std::string_view cp1252) {
  std::u16string out;
  out.reserve(cp1252.size());
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cp1252[i]);
    if (byte == '\n' || byte == '\r') {
      if (byte == '\n' && i + 1 < cp1252.size() && cp1252[i + 1] == '\r') ++i;
      out += u'\n';
    } else if (byte >= 0x80 && byte <= 0x9F) {
      out += kHighControls[byte - 0x80];
    } else {
      out += static_cast<char16_t>(byte);
    }
  }
  return out;
}

}  // namespace forms
