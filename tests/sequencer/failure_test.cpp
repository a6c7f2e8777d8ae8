#include <gtest/gtest.h>

#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "simulator/faults.h"
#include "tests/support/update_rig.h"

namespace {

struct FailureCase {
  const char* name;
  sim::Fault fault;
  bool two_pass;
  const std::string* text;  // nullptr: the prompt stays, no message of its own
};

const FailureCase kFailures[] = {
    {"calibration",
     {sim::at::Calibration(), sim::FaultKind::kNoReply},
     false,
     &kCalibrationOffFailedText},
    {"probe silent", {sim::at::Probe(), sim::FaultKind::kNoReply}, false, nullptr},
    {"probe wrong byte", {sim::at::Probe(), sim::FaultKind::kWrongReply}, false, nullptr},
    {"first 0x0C", {sim::at::Command0C(0), sim::FaultKind::kNoReply}, true, nullptr},
    {"second 0x0C", {sim::at::Command0C(1), sim::FaultKind::kNoReply}, true, nullptr},
    {"chunk 5",
     {.at = sim::at::Chunk(5), .kind = sim::FaultKind::kNoReply, .times = 0},
     false,
     &kDownloadFailedText},
    {"start", {sim::at::Start(), sim::FaultKind::kNoReply}, false, &kDownloadFailedText},
    {"erase", {sim::at::EraseAck(), sim::FaultKind::kNoReply}, false, &kErasingFailedText},
    {"data mode", {sim::at::DataMode(), sim::FaultKind::kNoReply}, false, &kDataTransferFailedText},
    {"page", {sim::at::Page(0xFC, 3), sim::FaultKind::kNoReply}, false, &kProgrammingFailedText},
    {"closing", {sim::at::Closing(), sim::FaultKind::kNoReply}, false, &kProgrammingFailedText},
};

TEST(Failure, EachFailureShowsItsMessageThenStartRunsAgain) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    UpdateRig rig({.needs_second_pass = c.two_pass});
    ASSERT_TRUE(rig.velka.Arm(c.fault));
    rig.AnswerPowerPrompts();
    rig.PressButton();
    ASSERT_TRUE(rig.RunUntil([] { return UpdateState == 21; })) << rig.Trace();
    EXPECT_EQ(rig.Label(), c.text ? *c.text : kPowerOnPrompt);
    EXPECT_EQ(rig.Button(), "STOP") << "the failure is cleaned up on the next tick";

    const std::uint64_t failed_at = rig.clock.NowUs();
    ASSERT_TRUE(rig.RunUntil([] { return UpdateState == 0; }, 200));
    EXPECT_LE(rig.clock.NowUs() - failed_at, 100000u);
    EXPECT_EQ(rig.Button(), "START");
    EXPECT_EQ(rig.Label(), c.text ? *c.text : kPowerOnPrompt) << "the message stays";
    EXPECT_TRUE(Updater->lbInfo->Visible());
    EXPECT_EQ(AdapterHandle, nullptr);
    EXPECT_EQ(rig.recorder.closes, rig.recorder.opens);
    EXPECT_TRUE(Updater->Timer1->Enabled()) << "idle ticks go on after a failure";

    // The person switches the device off, presses START and switches it on when asked.
    rig.velka.DisarmAll();
    rig.velka.SetPower(false);
    ASSERT_TRUE(rig.RunUpdate()) << rig.Trace();
    EXPECT_EQ(rig.Label(), kSuccessText);
    EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
  }
}

}  // namespace
