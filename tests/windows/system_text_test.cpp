#include "platform/forms/win32/system_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemText, TurnsEachLfCrPairIntoCrLfAndLeavesEveryOtherByte) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"", ""},
      {"START", "START"},
      {"a\n\rb", "a\r\nb"},
      {"a\n\r\n\rb", "a\r\n\r\nb"},
      {"end\n\r", "end\r\n"},
      // Already in the system's order, or lone: as they are.
      {"a\r\nb", "a\r\nb"},
      {"a\nb\rc", "a\nb\rc"},
      // LF LF CR: only the second LF pairs with the CR.
      {"a\n\n\rb", "a\n\r\nb"},
      {"Empf\xE4nger \x80", "Empf\xE4nger \x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(forms::SystemText(c.in), c.out) << c.in;
}

}  // namespace
