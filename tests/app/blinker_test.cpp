#include <gtest/gtest.h>

#include <tuple>

#include "app/texts.h"
#include "app/updater_form.h"
#include "platform/forms/virtual_loop.h"

namespace {

// After each tick of Timer2: when, whether the prompt shows, and the next interval.
using Tick = std::tuple<std::uint32_t, bool, std::uint32_t>;

class BlinkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->CreateForm(Updater);
    auto blinker = Updater->Timer2->OnTimer;
    Updater->Timer2->OnTimer = [this, blinker](TObject* sender) {
      blinker(sender);
      ticks_.emplace_back(GetTickCount(), Updater->lbInfo->Visible(), Updater->Timer2->Interval());
    };
  }
  void TearDown() override {
    Application->DestroyForms();
    Updater = nullptr;
  }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
  std::vector<Tick> ticks_;
};

class WaitingPromptTest : public BlinkerTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(WaitingPromptTest, ShownFirstFor750MsThenHidden100AndShown1000) {
  Updater->lbInfo->SetCaption(GetParam());
  loop_.RunFor(3000);
  const std::vector<Tick> expected = {{750, false, 100},
                                      {850, true, 1000},
                                      {1850, false, 100},
                                      {1950, true, 1000},
                                      {2950, false, 100}};
  EXPECT_EQ(ticks_, expected);
}

INSTANTIATE_TEST_SUITE_P(Prompts, WaitingPromptTest,
                         ::testing::Values(kPowerOnPrompt, kConnectPrompt, kAdapterNotFoundPrompt,
                                           kPowerCyclePrompt));

class SteadyCaptionTest : public BlinkerTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(SteadyCaptionTest, IsShownAtTheFirstTickAndStaysShown) {
  Updater->lbInfo->SetCaption(GetParam());
  Updater->lbInfo->SetVisible(false);
  loop_.RunFor(3000);
  const std::vector<Tick> expected = {
      {750, true, 750}, {1500, true, 750}, {2250, true, 750}, {3000, true, 750}};
  EXPECT_EQ(ticks_, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, SteadyCaptionTest,
    ::testing::Values(kConnectPrompt + " ", kPowerOnPrompt.substr(0, kPowerOnPrompt.size() - 1),
                      "Connect update adapter and press START.\r\n\r\nUpdate Adaper anschliessen "
                      "und START dr\xFC"
                      "cken.",
                      "Connect update adapter and press START.\n\r\n\rUpdate Adaper anschliessen "
                      "und START dr\xC3\xBC"
                      "cken.",  // the same text in UTF-8
                      "switch Velka OFF and ON again.\n\r\n\rVelka aus und wieder einschalten.",
                      "Downloading...\n\r\n\rLaden...", std::string()));

TEST_F(BlinkerTest, ANewMessageWhileThePromptIsHiddenShowsWithin100Ms) {
  ASSERT_TRUE(loop_.RunUntil([] { return !Updater->lbInfo->Visible(); }, 1000));
  EXPECT_EQ(GetTickCount(), 750u);
  Updater->lbInfo->SetCaption("Downloading...\n\r\n\rLaden...");
  ASSERT_TRUE(loop_.RunUntil([] { return Updater->lbInfo->Visible(); }, 1000));
  EXPECT_EQ(GetTickCount(), 850u);
  loop_.RunFor(5000);
  ASSERT_GT(ticks_.size(), 2u);
  for (std::size_t i = 1; i < ticks_.size(); ++i) {
    EXPECT_TRUE(std::get<1>(ticks_[i])) << "tick at " << std::get<0>(ticks_[i]);
  }
}

TEST_F(BlinkerTest, APhaseLastsLongerWhenALongHandlerHoldsTheTick) {
  Updater->Timer1->OnTimer = [](TObject*) {
    const std::uint32_t start = GetTickCount();
    while (GetTickCount() - start < 500) ticks::Current().Spin();
    Updater->Timer1->SetEnabled(false);
  };
  loop_.After(700, [] { Updater->Timer1->SetEnabled(true); });
  loop_.RunFor(1500);
  // Timer1 holds the thread from 800 to 1300; the hiding tick due at 750 came first,
  // the showing one due at 850 waits for the handler.
  ASSERT_GE(ticks_.size(), 2u);
  EXPECT_EQ(ticks_[0], Tick(750, false, 100));
  EXPECT_EQ(ticks_[1], Tick(1300, true, 1000));
}

}  // namespace
