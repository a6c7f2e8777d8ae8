#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "protocol/boot_frames.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "tests/support/update_rig.h"

namespace {

using States = std::vector<std::uint8_t>;

// The states the ticks of one boot pass leave, from the power prompt to the erase.
States BootPassStates() {
  States s = {3, 4, 5, 6, 7, 8, 9};
  for (int chunk = 0; chunk < 12; ++chunk) {
    s.push_back(10);
    s.push_back(9);
  }
  s.insert(s.end(), {11, 12, 13, 14});
  return s;
}

// Every tick's state with runs of one state folded into one entry.
States Folded(const States& states) {
  States out;
  for (std::uint8_t s : states) {
    if (out.empty() || out.back() != s) out.push_back(s);
  }
  return out;
}

std::size_t CountWrites(const UpdateRig& rig, const std::vector<std::uint8_t>& frame) {
  return static_cast<std::size_t>(
      std::count(rig.recorder.writes.begin(), rig.recorder.writes.end(), frame));
}

TEST(UpdateRun, SinglePassFromStartToQuit) {
  UpdateRig rig;
  const auto real_start = std::chrono::steady_clock::now();
  const std::uint64_t virtual_start = rig.clock.NowUs();
  ASSERT_TRUE(rig.RunUpdate()) << rig.Trace();
  const double virtual_s = static_cast<double>(rig.clock.NowUs() - virtual_start) / 1e6;
  const double real_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - real_start)
          .count();
  RecordProperty("virtual_seconds", std::to_string(virtual_s));
  RecordProperty("real_milliseconds", std::to_string(real_ms));
  std::printf("single pass: %.3f s virtual, %.1f ms real\n", virtual_s, real_ms);

  ASSERT_EQ(UpdateState, 20) << rig.Label();
  States expected = {2};
  const States pass = BootPassStates();
  expected.insert(expected.end(), pass.begin(), pass.end());
  expected.insert(expected.end(), {15, 16, 17, 18, 19, 20});
  // State 3 repeats until the device has been switched on; a chunk's 137 ms on the
  // wire makes its first poll come too early, so state 10 repeats too.
  EXPECT_EQ(Folded(rig.States()), Folded(expected));

  EXPECT_EQ(rig.Label(), kSuccessText);
  EXPECT_EQ(rig.Button(), "QUIT");
  EXPECT_EQ(Updater->ProgressBar1->Position(), 100);
  EXPECT_TRUE(Updater->lbInfo->Visible());
  EXPECT_FALSE(Updater->Timer1->Enabled());
  EXPECT_EQ(AdapterHandle, nullptr);
  EXPECT_EQ(rig.recorder.closes, 1);
  EXPECT_EQ(BootPass, 2);
  EXPECT_EQ(CountWrites(rig, {0x0C, 0x00, 0xF3}), 0u) << "no 0x0C commands for 'i'";

  EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
  EXPECT_TRUE(rig.velka.Violations().empty()) << rig.velka.Violations().front().ToString();
  EXPECT_EQ(rig.velka.GetStatus().pages_written, 88);

  // QUIT closes the main window and the reset still runs.
  rig.PressButton();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(UpdateState, 0);
  EXPECT_EQ(rig.recorder.closes, 1) << "nothing more to close";
}

TEST(UpdateRun, TwoPassesWithAPowerCycle) {
  for (const bool again_96 : {false, true}) {
    SCOPED_TRACE(again_96 ? "second probe answers 0x96" : "second probe answers 'i'");
    UpdateRig rig({.needs_second_pass = true, .later_probes_answer_96 = again_96});
    bool cycle_prompt_blinked = false;
    const TNotifyEvent blink = Updater->Timer2->OnTimer;
    Updater->Timer2->OnTimer = [&](TObject* sender) {
      blink(sender);
      if (Updater->lbInfo->Caption() == kPowerCyclePrompt && !Updater->lbInfo->Visible()) {
        cycle_prompt_blinked = true;
      }
    };
    const std::uint64_t virtual_start = rig.clock.NowUs();
    ASSERT_TRUE(rig.RunUpdate()) << rig.Trace();
    std::printf("two passes%s: %.3f s virtual\n", again_96 ? " (0x96 twice)" : "",
                static_cast<double>(rig.clock.NowUs() - virtual_start) / 1e6);
    ASSERT_EQ(UpdateState, 20) << rig.Label();
    EXPECT_EQ(rig.Label(), kSuccessText);
    EXPECT_TRUE(cycle_prompt_blinked);

    States expected = {2};
    const States pass = BootPassStates();
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), {15, 16, 17, 18, 19, 20});
    EXPECT_EQ(Folded(rig.States()), Folded(expected));
    EXPECT_EQ(CountWrites(rig, {0x0C, 0x00, 0xF3}), again_96 ? 2u : 1u);
    EXPECT_EQ(CountWrites(rig, {0x0C, 0x01, 0xF2}), again_96 ? 2u : 1u);
    EXPECT_EQ(CountWrites(rig, {'E', '\r'}), 2u) << "the flash is erased in each pass";
    EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
    EXPECT_TRUE(rig.velka.Violations().empty()) << rig.velka.Violations().front().ToString();
  }
}

}  // namespace
