#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "simulator/faults.h"
#include "tests/support/update_rig.h"

namespace {

// STOP pressed while the sequencer stands in `state` (between two ticks).
void StopIn(std::uint8_t state) {
  SCOPED_TRACE("state " + std::to_string(state));
  UpdateRig rig;
  if (state == 1) rig.velka.SetOpenFault(sim::OpenFault::kMissing);
  if (state == 21) rig.velka.Arm({sim::at::Calibration(), sim::FaultKind::kNoReply});
  rig.AnswerPowerPrompts();
  rig.PressButton();
  if (state == 1) {
    rig.RunUntil([] { return false; }, 350);
    EXPECT_EQ(rig.Label(), kAdapterNotFoundPrompt);
  }
  ASSERT_TRUE(rig.RunUntil([state] { return UpdateState == state; })) << rig.Trace();
  Updater->ProgressBar1->SetPosition(37);
  const bool blinking = Updater->Timer2->Enabled();

  rig.PressButton();

  EXPECT_EQ(UpdateState, 0);
  EXPECT_EQ(rig.Button(), "START");
  EXPECT_EQ(rig.Label(), kConnectPrompt);
  EXPECT_EQ(AdapterHandle, nullptr);
  EXPECT_EQ(rig.recorder.closes, rig.recorder.opens);
  EXPECT_EQ(TargetAddress, kLoaderAddress);
  EXPECT_FALSE(Updater->Timer1->Enabled());
  EXPECT_EQ(Updater->ProgressBar1->Position(), 37) << "the bar keeps its place";
  EXPECT_EQ(Updater->Timer2->Enabled(), blinking);
  const std::size_t writes = rig.recorder.writes.size();
  rig.RunUntil([] { return false; }, 1000);
  EXPECT_EQ(rig.recorder.writes.size(), writes) << "nothing more goes to the device";
}

TEST(Stop, FromEveryRunningStateReturnsToIdle) {
  for (std::uint8_t state = 1; state <= 19; ++state) StopIn(state);
  StopIn(21);
}

// STOP during the second pass's power-cycle prompt, then START: a fresh first pass.
TEST(Stop, DuringThePowerCyclePromptThenStartBeginsAfresh) {
  UpdateRig rig({.needs_second_pass = true});
  ASSERT_TRUE(rig.RunTo(14));
  Updater->Timer1->SetEnabled(true);
  ASSERT_TRUE(rig.RunUntil([] { return UpdateState == 3; }));
  EXPECT_EQ(rig.Label(), kPowerCyclePrompt);
  rig.PressButton();
  EXPECT_EQ(UpdateState, 0);
  EXPECT_TRUE(Updater->Timer2->Enabled()) << "the connect prompt blinks on";
  rig.velka.SetPower(false);
  ASSERT_TRUE(rig.RunUpdate()) << rig.Trace();
  EXPECT_EQ(rig.Label(), kSuccessText);
  EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
}

}  // namespace
