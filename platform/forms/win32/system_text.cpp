#include "platform/forms/win32/system_text.h"

namespace forms {

std::string SystemText(std::string_view cp1252) {
  std::string out(cp1252);
  for (std::size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i] == '\n' && out[i + 1] == '\r') {
      out[i] = '\r';
      out[i + 1] = '\n';
      ++i;
    }
  }
  return out;
}

}  // namespace forms
