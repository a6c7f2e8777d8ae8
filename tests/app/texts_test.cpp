#include "app/texts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ReleaseNotes, KeepTheirStoredLayout) {
  EXPECT_EQ(kReleaseNotes.size(), 445u);
  std::size_t breaks = 0;
  for (std::size_t at = kReleaseNotes.find("\n\r"); at != std::string::npos;
       at = kReleaseNotes.find("\n\r", at + 2)) {
    ++breaks;
  }
  EXPECT_EQ(breaks, 15u);
  EXPECT_EQ(kReleaseNotes.substr(kReleaseNotes.size() - 2), "\n\r");
  EXPECT_NE(kReleaseNotes.find("manual!   Anleitung"), std::string::npos);
  EXPECT_NE(kReleaseNotes.find(" Neuer Empf\xE4ngertyp DSMX"), std::string::npos);
  // Every line after a break that is not empty starts with one blank.
  for (std::size_t at = kReleaseNotes.find("\n\r"); at + 2 < kReleaseNotes.size();
       at = kReleaseNotes.find("\n\r", at + 2)) {
    const char next = kReleaseNotes[at + 2];
    if (next != '\n') {
      EXPECT_EQ(next, ' ') << "after the break at " << at;
      EXPECT_NE(kReleaseNotes[at + 3], ' ') << "after the break at " << at;
    }
  }
}

TEST(WaitingPrompts, AreSingleByteTextsWithBothHalves) {
  for (const std::string* prompt :
       {&kPowerOnPrompt, &kConnectPrompt, &kAdapterNotFoundPrompt, &kPowerCyclePrompt}) {
    EXPECT_EQ(std::count(prompt->begin(), prompt->end(), '\n'), 2) << *prompt;
    EXPECT_NE(prompt->find("\n\r\n\r"), std::string::npos) << *prompt;
  }
  EXPECT_EQ(kConnectPrompt.substr(kConnectPrompt.size() - 8),
            "dr\xFC"
            "cken.");
}

}  // namespace
