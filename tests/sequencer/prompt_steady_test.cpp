#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/updater_form.h"
#include "sequencer/sequencer.h"
#include "tests/support/update_rig.h"

namespace {

// When the boot ROM answers, the blinker stops; a prompt it had just hidden comes back
// and stays, since nothing would show it again.
TEST(PromptAfterTheBootRomAnswers, IsShownSteadily) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(3));
  Updater->lbInfo->SetVisible(false);
  Updater->Timer1->SetEnabled(true);
  ASSERT_TRUE(rig.RunUntil([] { return UpdateState == 4; }));
  EXPECT_TRUE(Updater->lbInfo->Visible());
  EXPECT_FALSE(Updater->Timer2->Enabled());
  EXPECT_EQ(rig.Label(), kPowerOnPrompt) << "the prompt stays in the label";
  bool hidden = false;
  rig.RunUntil(
      [&] {
        hidden |= !Updater->lbInfo->Visible();
        return UpdateState >= 8;
      },
      5000);
  EXPECT_FALSE(hidden);
}

}  // namespace
