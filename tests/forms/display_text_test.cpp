#include "platform/forms/display_text.h"

#include <gtest/gtest.h>

namespace {

// Code page 1252 from 0x80 to 0x9F as Windows converts it (the unassigned bytes keep
// their C1 value).
const char16_t kWindows1252High[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178'};

TEST(DisplayText, EveryByteOfThePageMapsToItsCharacter) {
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const char16_t expected =
        byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
    EXPECT_EQ(forms::DisplayText(one), std::u16string(1, expected)) << "byte " << byte;
  }
}

TEST(DisplayText, LineBreaks) {
  const struct {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"a\n\rb", u"a\nb"},
      {"English\n\r\n\rDeutsch", u"English\n\nDeutsch"},
      {"end\n\r", u"end\n"},
      {"lone\nfeed", u"lone\nfeed"},
      {"lone\rreturn", u"lone\nreturn"},
      {"a\r\nb", u"a\n\nb"},  // not a pair in this direction
  };
  for (const auto& c : cases) EXPECT_EQ(forms::DisplayText(c.in), c.out) << c.in;
}

TEST(DisplayText, AGermanPrompt) {
  EXPECT_EQ(forms::DisplayText("START dr\xFC"
                               "cken. L\xF6"
                               "schen \x80 5"),
            u"START dr\u00FCcken. L\u00F6schen \u20AC 5");
}

}  // namespace
