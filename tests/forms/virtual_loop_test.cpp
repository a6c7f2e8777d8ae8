#include "platform/forms/virtual_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/forms/forms.h"
#include "tests/forms/plain_form_design.h"

namespace {

const FormDesign& kFormDesign = kPlainFormDesign;

// Busy-waits the way the program's protocol steps do.
void BusyWaitMs(std::uint32_t ms) {
  const std::uint32_t start = GetTickCount();
  while (GetTickCount() - start < ms) ticks::Current().Spin();
}

std::uint32_t NowMs() { return GetTickCount(); }

class VirtualLoopTest : public ::testing::Test {
 protected:
  TTimer* AddTimer(std::uint32_t interval_ms, bool enabled = true) {
    return new TTimer(form_.get(), TimerDesign{"Timer", enabled, interval_ms});
  }

  ticks::VirtualClock clock_;
  forms::VirtualLoop loop_{clock_};
  std::unique_ptr<TForm> form_ = std::make_unique<TForm>(nullptr, kFormDesign);
};

TEST_F(VirtualLoopTest, TicksFollowTheIntervalFromWhenTheTimerStarted) {
  clock_.AdvanceTo(40'000);
  TTimer* timer = AddTimer(100);
  std::vector<std::uint32_t> at;
  timer->OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, timer);
    at.push_back(NowMs());
  };
  loop_.RunFor(360);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{140, 240, 340}));
  EXPECT_EQ(NowMs(), 400u);
}

TEST_F(VirtualLoopTest, TicksMissedDuringALongHandlerAreNotMadeUp) {
  TTimer* timer = AddTimer(100);
  std::vector<std::uint32_t> at;
  timer->OnTimer = [&](TObject*) {
    at.push_back(NowMs());
    if (at.size() == 1) BusyWaitMs(450);
  };
  loop_.RunFor(800);
  // The handler of the tick at 100 returns at 550: one tick follows, then the rhythm.
  EXPECT_EQ(at, (std::vector<std::uint32_t>{100, 550, 650, 750}));
}

struct RestartCase {
  const char* what;
  std::function<void(TTimer*)> at_300;
  std::function<void(TTimer*)> at_450;
  std::uint32_t first_tick_ms;
};

class TimerRestartTest : public VirtualLoopTest,
                         public ::testing::WithParamInterface<RestartCase> {};

TEST_P(TimerRestartTest, FirstTickAfterAChange) {
  const RestartCase& c = GetParam();
  TTimer* timer = AddTimer(1000);
  std::vector<std::uint32_t> at;
  timer->OnTimer = [&](TObject*) { at.push_back(NowMs()); };
  loop_.After(300, [&] { c.at_300(timer); });
  loop_.After(450, [&] { c.at_450(timer); });
  loop_.RunFor(c.first_tick_ms + 1);
  ASSERT_FALSE(at.empty());
  EXPECT_EQ(at.front(), c.first_tick_ms);
}

const auto kNothing = [](TTimer*) {};

INSTANTIATE_TEST_SUITE_P(
    Changes, TimerRestartTest,
    ::testing::Values(
        RestartCase{"NewInterval", [](TTimer* t) { t->SetInterval(500); }, kNothing, 800},
        RestartCase{"SameInterval", [](TTimer* t) { t->SetInterval(1000); }, kNothing, 1000},
        RestartCase{"ChangedTwice", [](TTimer* t) { t->SetInterval(200); },
                    [](TTimer* t) { t->SetInterval(1000); }, 1450},
        RestartCase{"OffAndOn", [](TTimer* t) { t->SetEnabled(false); },
                    [](TTimer* t) { t->SetEnabled(true); }, 1450},
        RestartCase{"EnabledAgain", [](TTimer* t) { t->SetEnabled(true); }, kNothing, 1000}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(VirtualLoopTest, AnIntervalSetByTheHandlerTimesTheNextTick) {
  TTimer* timer = AddTimer(750);
  std::vector<std::uint32_t> at;
  timer->OnTimer = [&](TObject*) {
    at.push_back(NowMs());
    timer->SetInterval(timer->Interval() == 100 ? 1000 : 100);
  };
  loop_.RunFor(2000);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{750, 850, 1850, 1950}));
}

TEST_F(VirtualLoopTest, NoMessageIsDispatchedInsideARunningHandler) {
  bool in_handler = false;
  std::vector<std::pair<char, std::uint32_t>> order;
  auto guarded = [&](char who, std::uint32_t busy_ms) {
    EXPECT_FALSE(in_handler) << who << " cut into a running handler at " << NowMs();
    in_handler = true;
    order.emplace_back(who, NowMs());
    BusyWaitMs(busy_ms);
    in_handler = false;
  };
  int a_ticks = 0;
  AddTimer(100)->OnTimer = [&](TObject*) { guarded('A', ++a_ticks == 1 ? 250 : 0); };
  AddTimer(30)->OnTimer = [&](TObject*) { guarded('B', 0); };
  loop_.After(120, [&] { guarded('C', 0); });
  loop_.RunFor(400);
  // B at 30, 60, 90; A from 100 to 350. The click from 120 and the overdue ticks of both
  // timers wait for it, the click going first; then one tick each, not one per interval.
  const std::vector<std::pair<char, std::uint32_t>> expected = {
      {'B', 30}, {'B', 60}, {'B', 90}, {'A', 100}, {'C', 350}, {'A', 350}, {'B', 350}, {'B', 380}};
  EXPECT_EQ(order, expected);
}

TEST_F(VirtualLoopTest, ModalLoopDispatchesTimersOfEveryFormUntilClosed) {
  int ticks_seen = 0;
  TForm modal(nullptr, kFormDesign);
  AddTimer(100)->OnTimer = [&](TObject*) {
    ++ticks_seen;
    EXPECT_TRUE(modal.Visible());
    EXPECT_TRUE(modal.Modal());
    EXPECT_FALSE(form_->Visible());
  };
  loop_.After(1050, [&] { modal.Close(); });
  EXPECT_EQ(modal.ShowModal(), mrCancel);
  EXPECT_EQ(ticks_seen, 10);
  EXPECT_EQ(NowMs(), 1050u);
  EXPECT_FALSE(modal.Visible());
  EXPECT_FALSE(modal.Modal());
  EXPECT_FALSE(loop_.Expired());
}

TEST_F(VirtualLoopTest, ModalResultEndsTheNestedLoopAfterTheHandler) {
  TForm modal(nullptr, kFormDesign);
  bool handler_finished = false;
  loop_.After(10, [&] {
    modal.SetModalResult(7);
    handler_finished = true;
  });
  EXPECT_EQ(modal.ShowModal(), 7);
  EXPECT_TRUE(handler_finished);
}

TEST_F(VirtualLoopTest, NestedLoopsGiveUpAtTheHorizon) {
  loop_.SetHorizon(5000);
  AddTimer(100)->OnTimer = [](TObject*) {};
  TForm modal(nullptr, kFormDesign);
  EXPECT_EQ(modal.ShowModal(), mrNone);
  EXPECT_TRUE(loop_.Expired());
  EXPECT_EQ(NowMs(), 5000u);
}

TEST_F(VirtualLoopTest, RunUntilStopsAtItsConditionOrItsLimit) {
  int ticks_seen = 0;
  AddTimer(100)->OnTimer = [&](TObject*) { ++ticks_seen; };
  EXPECT_TRUE(loop_.RunUntil([&] { return ticks_seen == 3; }, 1000));
  EXPECT_EQ(NowMs(), 300u);
  EXPECT_FALSE(loop_.RunUntil([] { return false; }, 250));
  EXPECT_EQ(NowMs(), 550u);
  EXPECT_EQ(ticks_seen, 5);
  EXPECT_FALSE(loop_.Expired());
}

TEST_F(VirtualLoopTest, InstallsItselfAndItsClockOnlyWhileAlive) {
  EXPECT_EQ(forms::CurrentLoop(), &loop_);
  EXPECT_EQ(&ticks::Current(), &clock_);
  ticks::VirtualClock inner_clock;
  {
    forms::VirtualLoop inner(inner_clock);
    EXPECT_EQ(forms::CurrentLoop(), &inner);
    EXPECT_EQ(&ticks::Current(), &inner_clock);
  }
  EXPECT_EQ(forms::CurrentLoop(), &loop_);
  EXPECT_EQ(&ticks::Current(), &clock_);
}

TEST_F(VirtualLoopTest, ATimerCountsAcrossTheTickCounterWrap) {
  clock_.SetTickMs(0xFFFFFFFFu - 150);
  std::vector<std::uint32_t> at;
  AddTimer(100)->OnTimer = [&](TObject*) { at.push_back(NowMs()); };
  loop_.RunFor(300);
  EXPECT_EQ(at, (std::vector<std::uint32_t>{0xFFFFFFFFu - 50, 49, 149}));
}

}  // namespace
