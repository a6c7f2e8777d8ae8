#include "platform/ticks/ticks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include "platform/ticks/real_clock.h"
#include "platform/ticks/virtual_clock.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// One step of the Windows counter, in milliseconds.
constexpr double kStepMs = 15.625;

class TickTest : public ::testing::Test {
 protected:
  // No test leaves the program reading a clock that has gone out of scope.
  void TearDown() override { ticks::Use(fallback_); }

 private:
  static inline ticks::RealClock fallback_;
};

// Sampled for a quarter of a second: every change is a whole number of 15.625 ms steps
// (a single step reading as 15 or 16 ms), the counter never runs backward, and over the
// run the fractions add up instead of drifting (a plain 16 ms or 15 ms step would not).
TEST_F(TickTest, RealCounterAdvancesInWindowsSteps) {
  ticks::RealClock clock;
  ticks::Use(clock);

  std::vector<std::uint32_t> values{GetTickCount()};
  const auto start = SteadyClock::now();
  while (SteadyClock::now() - start < 250ms) {
    const std::uint32_t now = GetTickCount();
    ASSERT_GE(static_cast<std::int32_t>(now - values.back()), 0) << "ran backward";
    if (now != values.back()) values.push_back(now);
  }

  int single_steps = 0;
  long long steps = 0;
  for (std::size_t i = 1; i < values.size(); ++i) {
    const std::uint32_t diff = values[i] - values[i - 1];
    const long long m = std::llround(diff / kStepMs);
    ASSERT_GE(m, 1) << "changed by " << diff << " ms";
    ASSERT_LT(std::abs(diff - m * kStepMs), 1.0) << "changed by " << diff << " ms";
    if (m == 1) {
      EXPECT_TRUE(diff == 15 || diff == 16) << diff;
      ++single_steps;
    }
    steps += m;
  }
  EXPECT_GE(single_steps, 5) << "too few steps seen to judge";
  const std::uint32_t total = values.back() - values.front();
  EXPECT_LT(std::abs(total - steps * kStepMs), 1.0) << total << " ms over " << steps << " steps";
}

TEST_F(TickTest, RealCounterKeepsUpWithTheMonotonicClock) {
  ticks::RealClock clock;
  ticks::Use(clock);
  const std::uint32_t ticks_before = GetTickCount();
  const std::uint64_t us_before = clock.NowUs();
  clock.Pass(100'000);
  const std::uint64_t us_passed = clock.NowUs() - us_before;
  const std::uint32_t ticks_passed = GetTickCount() - ticks_before;

  EXPECT_GE(us_passed, 100'000u);
  // Within one step of the microsecond clock, either way.
  EXPECT_LE(std::abs(static_cast<double>(ticks_passed) - us_passed / 1000.0), kStepMs + 1);
}

TEST_F(TickTest, VirtualCounterIsExactToTheMillisecond) {
  ticks::VirtualClock clock;
  ticks::Use(clock);
  clock.SetTickMs(1000);
  EXPECT_EQ(GetTickCount(), 1000u);
  clock.Pass(999);
  EXPECT_EQ(GetTickCount(), 1000u);
  clock.Pass(1);
  EXPECT_EQ(GetTickCount(), 1001u);
  clock.Spin();
  EXPECT_EQ(GetTickCount(), 1002u);
  clock.AdvanceTo(0);  // never backward
  EXPECT_EQ(GetTickCount(), 1002u);
  clock.AdvanceTo(1'010'000);
  EXPECT_EQ(GetTickCount(), 1010u);
}

// The counter wraps after 2^32 ms like the Windows one, while the microsecond time line
// underneath keeps going forward.
TEST_F(TickTest, VirtualCounterWrapsAt32Bits) {
  ticks::VirtualClock clock;
  ticks::Use(clock);
  constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
  clock.SetTickMs(kMax - 2);
  const std::uint32_t start = GetTickCount();
  const std::uint64_t start_us = clock.NowUs();
  EXPECT_EQ(start, kMax - 2);

  std::vector<std::uint32_t> seen;
  for (int i = 0; i < 5; ++i) {
    clock.Spin();
    seen.push_back(GetTickCount());
  }
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{kMax - 1, kMax, 0, 1, 2}));
  EXPECT_EQ(static_cast<std::uint32_t>(GetTickCount() - start), 5u);
  EXPECT_EQ(clock.NowUs() - start_us, 5000u);
}

}  // namespace
