#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "tests/reliability/aimable_steps.h"
#include "tests/reliability/expected_outcome.h"
#include "tests/support/update_rig.h"

namespace {

using sim::FaultKind;

constexpr FaultKind kKinds[] = {
    FaultKind::kNoReply,
    FaultKind::kWrongReply,
    FaultKind::kLateReply,
    FaultKind::kNoiseBeforeReply,
    FaultKind::kPowerLost,
    FaultKind::kAdapterUnplugged,
    FaultKind::kEraseNeverCompletes,
};

// From START to success or to a failure cleaned up. Against the simulator a single
// pass takes about 20 s, with a stuck erase's whole 8.24 s completion wait about 28 s,
// and two passes (the recovery of a Command0CFrame case) about 30 s.
constexpr std::uint32_t kBoundMs = 40000;
// State 3 waits without limit; this long at state 3 counts as the waiting it promises.
constexpr std::uint32_t kWaitingMs = 10000;

// An update costs five times as much under the address sanitizer: there the pages are
// grouped (8 of the 88 pages with data), to keep the suite well under a minute.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kGroupPages = true;
#else
constexpr bool kGroupPages = false;
#endif

const std::vector<std::uint8_t> kSyncFrame = {0x00, 0x55, 0x66, 0x77, 0x88};

bool Ended() {
  return (UpdateState == 20 && !Updater->Timer1->Enabled()) ||
         (UpdateState == 0 && Updater->btStart->Caption() == kStartCaption);
}

bool AdapterClosed(const UpdateRig& rig) {
  return AdapterHandle == nullptr && rig.recorder.closes == rig.recorder.opens;
}

// What the updater did, in the terms of `Outcome`.
Outcome Observed(const UpdateRig& rig) {
  if (UpdateState == 20 && rig.Label() == kSuccessText)
    return {Outcome::Kind::kSucceeded, kSuccessText};
  if (UpdateState == 3 && rig.Button() == kStopCaption) {
    return {Outcome::Kind::kWaitingAtSync, rig.Label()};
  }
  return {Outcome::Kind::kFailed, rig.Label()};
}

struct CaseResult {
  std::string mismatch;  // empty when the case passed
  std::uint64_t to_defined_us = 0;
};

// One fault already armed in `rig`: the update under it, then a fresh START with the
// fault cleared.
CaseResult RunCase(UpdateRig& rig, const Outcome& expected) {
  CaseResult result;
  const std::uint64_t start_us = rig.clock.NowUs();
  rig.AnswerPowerPrompts();
  rig.PressButton();
  if (expected.kind == Outcome::Kind::kWaitingAtSync) {
    rig.loop.RunFor(kWaitingMs);
  } else if (!rig.RunUntil(Ended, kBoundMs)) {
    result.mismatch = "no defined state within the bound: state " + std::to_string(UpdateState);
    return result;
  }
  result.to_defined_us = rig.clock.NowUs() - start_us;

  if (rig.Label() == kSuccessText && rig.velka.FlashDifference()) {
    result.mismatch = "success claimed, flash differs: " + *rig.velka.FlashDifference();
    return result;
  }
  const Outcome observed = Observed(rig);
  if (!(observed == expected)) {
    result.mismatch = "expected " + Describe(expected) + ", got " + Describe(observed) +
                      " in state " + std::to_string(UpdateState);
    return result;
  }
  if (expected.kind == Outcome::Kind::kWaitingAtSync) {
    const auto& writes = rig.recorder.writes;
    const std::uint64_t last_us = rig.recorder.write_times_us.back();
    if (AdapterHandle == nullptr || writes.back() != kSyncFrame ||
        rig.clock.NowUs() - last_us > 200000) {
      result.mismatch = "state 3 stopped sending SyncFrame on its open adapter";
      return result;
    }
    rig.PressButton();  // the person gives up waiting: STOP
  }
  if (!AdapterClosed(rig)) {
    result.mismatch = "adapter left open";
    return result;
  }
  if (expected.kind == Outcome::Kind::kSucceeded) return result;

  // Cleared as a person would: plug the adapter back in, switch the device off, START.
  rig.velka.DisarmAll();
  rig.velka.PlugAdapter(true);
  rig.velka.SetPower(false);
  if (!rig.RunUpdate(kBoundMs) || rig.Label() != kSuccessText) {
    result.mismatch = "the next START did not succeed: " + Describe(Observed(rig));
  } else if (rig.velka.FlashDifference()) {
    result.mismatch = "the next START left the flash differing: " + *rig.velka.FlashDifference();
  } else if (!AdapterClosed(rig)) {
    result.mismatch = "the next START left the adapter open";
  }
  return result;
}

TEST(FaultMatrix, EveryStepUnderEveryFaultEndsDefinedAndRecovers) {
  const auto real_start = std::chrono::steady_clock::now();
  int run = 0;
  int passed = 0;
  int not_applicable = 0;
  std::uint64_t longest_us = 0;
  for (const sim::StepRef& step : AimableSteps(kGroupPages)) {
    for (const FaultKind kind : kKinds) {
      // Only a device that answers the probe with 0x96 is sent Command0CFrames.
      UpdateRig rig({.needs_second_pass = step.step == sim::Step::kCommand0C}, {},
                    UpdateRig::Window::kHidden);
      if (!rig.velka.Arm({.at = step, .kind = kind})) {
        ++not_applicable;
        continue;
      }
      ++run;
      const CaseResult result = RunCase(rig, ExpectedOutcome(step.step, kind));
      longest_us = std::max(longest_us, result.to_defined_us);
      if (result.mismatch.empty()) {
        ++passed;
      } else {
        ADD_FAILURE() << sim::Describe(step) << " / " << sim::Describe(kind) << ": "
                      << result.mismatch << "\n"
                      << rig.Trace();
      }
    }
  }
  const double real_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - real_start).count();
  std::printf(
      "fault matrix: %d cases run, %d passed, %d not applicable; longest %.2f s virtual to a "
      "defined state (bound %u s); %.1f s real\n",
      run, passed, not_applicable, static_cast<double>(longest_us) / 1e6, kBoundMs / 1000, real_s);
  EXPECT_EQ(passed, run);
}

}  // namespace
