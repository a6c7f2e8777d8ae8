#include "protocol/loader_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/updater_form.h"
#include "sequencer/sequencer.h"
#include "simulator/faults.h"
#include "tests/support/update_rig.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Polls of the adapter made after `since_us`.
std::vector<std::uint64_t> PollsAfter(const UpdateRig& rig, std::uint64_t since_us) {
  std::vector<std::uint64_t> polls;
  for (std::uint64_t t : rig.recorder.poll_times_us) {
    if (t > since_us) polls.push_back(t);
  }
  return polls;
}

TEST(StartLoader, SendsTheFixedFrameAndNeedsAnImmediateReply) {
  for (const bool answered : {true, false}) {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(11)) << rig.Trace();
    if (!answered) rig.velka.Arm({sim::at::Start(), sim::FaultKind::kNoReply});
    TargetAddress = 0x1234;
    const std::size_t writes = rig.recorder.writes.size();
    EXPECT_EQ(StartLoader(), answered);
    ASSERT_EQ(rig.recorder.writes.size(), writes + 1);
    EXPECT_EQ(rig.recorder.writes.back(), (Bytes{0x9F, 0x40, 0x52, 0x00, 0xCD}));
    EXPECT_EQ(TargetAddress, kLoaderAddress);
  }
}

TEST(EraseFlash, WaitsThenSendsTheCommandAndGivesTheEraseItsTime) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(13)) << rig.Trace();
  const std::uint64_t start = rig.clock.NowUs();
  const std::size_t writes = rig.recorder.writes.size();
  Updater->ProgressBar1->SetPosition(0);
  EXPECT_TRUE(EraseFlash());
  ASSERT_EQ(rig.recorder.writes.size(), writes + 1);
  EXPECT_EQ(rig.recorder.writes.back(), (Bytes{'E', '\r'}));
  EXPECT_GE(rig.recorder.write_times_us.back() - start, 150000u) << "nothing for 150 ms";
  // The simulated erase takes 2 s: about 100 completion polls of 20 ms, a step each.
  const int steps = Updater->ProgressBar1->Position();
  EXPECT_GE(steps, 95);
  EXPECT_LE(steps, 99);
  EXPECT_EQ(rig.velka.FlashByte(0xFC, 0), 0xFF);
}

TEST(EraseFlash, WithoutAnAcknowledgementFailsAfterFortyPollsWithoutProgress) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(13));
  rig.velka.Arm({sim::at::EraseAck(), sim::FaultKind::kNoReply});
  Updater->ProgressBar1->SetPosition(42);
  EXPECT_FALSE(EraseFlash());
  EXPECT_EQ(PollsAfter(rig, rig.recorder.write_times_us.back()).size(), 40u);
  EXPECT_EQ(Updater->ProgressBar1->Position(), 42);
}

// From the start of a two-byte command at 115200 baud to its one-byte reply being
// readable: both bytes' wire time and the adapter's 1 ms.
constexpr std::uint64_t kCommandToReplyUs = 174 + 87 + 1000;

// A command of `state` whose reply comes just in time for the 40th poll after the
// command succeeds; one millisecond later it fails.
void ExpectTheFortiethPollIsTheLast(std::uint8_t state, const sim::StepRef& reply,
                                    bool (*command)()) {
  std::uint32_t delay_ms = 0;
  {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(state));
    rig.velka.Arm({reply, sim::FaultKind::kNoReply});
    EXPECT_FALSE(command());
    const std::uint64_t sent = rig.recorder.write_times_us.back();
    const std::vector<std::uint64_t> polls = PollsAfter(rig, sent);
    ASSERT_EQ(polls.size(), 40u);
    delay_ms = static_cast<std::uint32_t>((polls[39] - sent - kCommandToReplyUs) / 1000);
  }
  for (const std::uint32_t extra : {0u, 1u}) {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(state));
    rig.velka.Arm({.at = reply, .kind = sim::FaultKind::kLateReply, .delay_ms = delay_ms + extra});
    EXPECT_EQ(command(), extra == 0) << "reply " << delay_ms + extra << " ms late";
  }
}

TEST(EraseFlash, TheFortiethAcknowledgementPollIsTheLast) {
  ExpectTheFortiethPollIsTheLast(13, sim::at::EraseAck(), EraseFlash);
}

TEST(EraseFlash, AnEraseThatNeverReportsStillCountsAfterFourHundredPolls) {
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(13));
  rig.velka.Arm({sim::at::EraseDone(), sim::FaultKind::kEraseNeverCompletes});
  Updater->ProgressBar1->SetPosition(17);
  const std::uint64_t start = rig.clock.NowUs();
  EXPECT_TRUE(EraseFlash());
  const std::size_t polls = PollsAfter(rig, rig.recorder.write_times_us.back()).size();
  EXPECT_EQ(polls, 1u + 400u) << "the acknowledgement poll, then 400";
  EXPECT_GE(rig.clock.NowUs() - start, 8'200'000u);
  EXPECT_EQ(Updater->ProgressBar1->Position(), 17) << "400 steps: four whole turns";
}

TEST(EraseFlash, CompletionByteReadWithTheAcknowledgementIsNotSeen) {
  UpdateRig rig({}, {.erase_ms = 0});
  ASSERT_TRUE(rig.RunTo(13));
  EXPECT_TRUE(EraseFlash());
  EXPECT_EQ(PollsAfter(rig, rig.recorder.write_times_us.back()).size(), 1u + 400u);
}

// Every completion poll, the one that reads 0x66 included, moves the bar one step.
TEST(EraseFlash, EachCompletionPollMakesOneStep) {
  bool ended_at_first_poll = false;
  // The acknowledgement poll reads 50 ms after the command: a shorter erase is seen by it.
  for (const std::uint32_t erase_ms : {49u, 50u, 120u}) {
    UpdateRig rig({}, {.erase_ms = erase_ms});
    ASSERT_TRUE(rig.RunTo(13));
    Updater->ProgressBar1->SetPosition(99);
    EXPECT_TRUE(EraseFlash());
    const std::size_t completion_polls =
        PollsAfter(rig, rig.recorder.write_times_us.back()).size() - 1;
    EXPECT_LT(completion_polls, 400u) << erase_ms << " ms";
    EXPECT_EQ(static_cast<std::size_t>(Updater->ProgressBar1->Position()),
              (99 + completion_polls) % 100)
        << erase_ms << " ms";
    ended_at_first_poll |= completion_polls == 1;
  }
  EXPECT_TRUE(ended_at_first_poll) << "one of the short erases ends at the first poll";
}

TEST(EnterDataMode, AcceptsTheReplyUpToTheFortiethPoll) {
  {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(16)) << rig.Trace();
    EXPECT_TRUE(EnterDataMode());
    EXPECT_EQ(rig.recorder.writes.back(), (Bytes{'D', '\r'}));
  }
  ExpectTheFortiethPollIsTheLast(16, sim::at::DataMode(), EnterDataMode);
}

TEST(EnterDataMode, IgnoresEveryOtherByte) {
  {
    UpdateRig rig;
    ASSERT_TRUE(rig.RunTo(16));
    rig.velka.Arm({.at = sim::at::DataMode(),
                   .kind = sim::FaultKind::kNoiseBeforeReply,
                   .noise = {'e', 'f', 'D'}});
    EXPECT_TRUE(EnterDataMode());
  }
  UpdateRig rig;
  ASSERT_TRUE(rig.RunTo(16));
  rig.velka.Arm(
      {.at = sim::at::DataMode(), .kind = sim::FaultKind::kWrongReply, .wrong_byte = 'D'});
  EXPECT_FALSE(EnterDataMode());
}

}  // namespace
