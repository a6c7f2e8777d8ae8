#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/updater_form.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "tests/support/update_rig.h"

namespace {

TEST(Progress, OnlyTheThreeBusyTextsMoveTheBar) {
  UpdateRig rig;
  std::string near_erasing = kErasingText;
  near_erasing.back() = ',';
  struct Case {
    std::string caption;
    int before;
    int after;
  };
  const Case cases[] = {
      {kDownloadingText, 0, 1},   {kErasingText, 99, 0},
      {kProgrammingText, 41, 42}, {kProgrammingText + " ", 41, 41},
      {near_erasing, 5, 5},  // German half differs
      {"Downloading...", 5, 5},   {kConnectPrompt, 5, 5},
      {kDownloadingText, 100, 1},  // after a success the bar stands at 100
  };
  for (const std::uint8_t state : {std::uint8_t{0}, std::uint8_t{22}, std::uint8_t{255}}) {
    for (const Case& c : cases) {
      UpdateState = state;
      Updater->lbInfo->SetCaption(c.caption);
      Updater->ProgressBar1->SetPosition(c.before);
      Updater->Timer1Timer(Updater->Timer1);
      EXPECT_EQ(Updater->ProgressBar1->Position(), c.after) << c.caption << " in " << int{state};
      EXPECT_EQ(UpdateState, state) << "no step for idle or unknown states";
      EXPECT_EQ(Updater->lbInfo->Caption(), c.caption);
    }
  }
  UpdateState = 0;
}

TEST(Progress, BusyTicksNeverShowAFullBar) {
  UpdateRig rig;
  int busy_ticks = 0;
  const TNotifyEvent tick = Updater->Timer1->OnTimer;
  Updater->Timer1->OnTimer = [&](TObject* sender) {
    const std::string before = Updater->lbInfo->Caption();
    const int position = Updater->ProgressBar1->Position();
    const bool busy =
        before == kDownloadingText || before == kErasingText || before == kProgrammingText;
    tick(sender);
    if (!busy || UpdateState == 20) return;
    ++busy_ticks;
    EXPECT_LT(Updater->ProgressBar1->Position(), 100);
    if (UpdateState == 10 || UpdateState == 9) {  // download ticks: exactly one step each
      EXPECT_EQ(Updater->ProgressBar1->Position(), (position + 1) % 100);
    }
  };
  ASSERT_TRUE(rig.RunUpdate());
  EXPECT_GT(busy_ticks, 24);
  EXPECT_EQ(Updater->ProgressBar1->Position(), 100) << "full only at the end";
}

}  // namespace
