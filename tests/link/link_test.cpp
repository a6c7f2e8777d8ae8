#include "link/link.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/ticks/virtual_clock.h"
#include "tests/support/scripted_adapter.h"

namespace {

using Calls = std::vector<std::string>;

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ticks::Use(clock); }
  void TearDown() override { CloseAdapter(); }

  void Connect() {
    ASSERT_TRUE(ConnectAdapter());
    adapter.log.calls.clear();
  }

  ticks::VirtualClock clock;
  ScriptedAdapter adapter;
};

TEST_F(LinkTest, ConnectOpensByDescriptionAndSetsUpTheLine) {
  ASSERT_TRUE(ConnectAdapter());
  EXPECT_NE(AdapterHandle, nullptr);
  EXPECT_EQ(adapter.log.opened_with, "TALVEK Update Adapter");
  EXPECT_EQ(adapter.log.calls, (Calls{"SetBaudRate 19200", "SetDataCharacteristics 8 2 0",
                                      "SetFlowControl 0 0 0", "SetTimeouts 0 5000"}));
}

TEST_F(LinkTest, ConnectSucceedsEvenWhenSettingsFail) {
  adapter.log.settings_status = kFtIoError;
  EXPECT_TRUE(ConnectAdapter());
  EXPECT_EQ(adapter.log.calls.size(), 4u);
}

TEST_F(LinkTest, ConnectWithoutAdapterMakesNoSettingsCall) {
  adapter.present = false;
  EXPECT_FALSE(ConnectAdapter());
  EXPECT_EQ(AdapterHandle, nullptr);
  EXPECT_TRUE(adapter.log.calls.empty());
}

TEST_F(LinkTest, CloseIsHarmlessWithoutAnAdapterAndWhenRepeated) {
  CloseAdapter();
  EXPECT_EQ(adapter.log.closes, 0);
  Connect();
  CloseAdapter();
  CloseAdapter();
  EXPECT_EQ(adapter.log.closes, 1);
  EXPECT_EQ(AdapterHandle, nullptr);
  ASSERT_TRUE(ConnectAdapter()) << "a closed adapter can be opened again";
}

TEST_F(LinkTest, ReadTakesAtMostCountAndLeavesTheRestWaiting) {
  Connect();
  adapter.log.rx = {0x10, 0x20, 0x30};
  std::array<std::uint8_t, 8> buffer{};
  std::uint16_t n = 99;
  ReadAvailable(buffer.data(), 1, n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(buffer[0], 0x10);
  ReadAvailable(buffer.data(), 5, n);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(buffer[0], 0x20);
  EXPECT_EQ(buffer[1], 0x30);
}

TEST_F(LinkTest, EmptyReadLeavesTheBufferUntouched) {
  Connect();
  std::array<std::uint8_t, 10> buffer;
  buffer.fill(0xA5);
  std::uint16_t n = 7;
  ReadAvailable(buffer.data(), 10, n);
  EXPECT_EQ(n, 0);
  for (std::uint8_t b : buffer) EXPECT_EQ(b, 0xA5);
  EXPECT_EQ(adapter.log.calls, Calls{}) << "no read call when nothing waits";
}

TEST_F(LinkTest, SendDiscardsStaleBytesBeforeItWrites) {
  Connect();
  adapter.log.rx = {'i', 'F'};
  const std::uint8_t frame[] = {0x00, 0x55, 0x66, 0x77, 0x88};
  SendFrame(frame, sizeof frame);
  EXPECT_EQ(adapter.log.calls, (Calls{"Purge 1", "Write 5"}));
  EXPECT_TRUE(adapter.log.rx.empty());

  adapter.log.calls.clear();
  SendFrame(frame, sizeof frame);
  EXPECT_EQ(adapter.log.calls, Calls{"Write 5"}) << "nothing waiting, nothing purged";
}

TEST_F(LinkTest, TextGoesOutWithoutItsTerminator) {
  Connect();
  SendText("D\r");
  ASSERT_EQ(adapter.log.writes.size(), 1u);
  EXPECT_EQ(adapter.log.writes[0], (std::vector<std::uint8_t>{0x44, 0x0D}));
}

TEST_F(LinkTest, APageGoesOutInOneWrite) {
  Connect();
  std::array<std::uint8_t, 1024> page;
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7);
  SendFrame(page.data(), 1024);
  ASSERT_EQ(adapter.log.writes.size(), 1u);
  EXPECT_TRUE(std::equal(page.begin(), page.end(), adapter.log.writes[0].begin(),
                         adapter.log.writes[0].end()));
}

TEST_F(LinkTest, RefusedWritesAreRepeatedWholeUpToTheBound) {
  Connect();
  const std::uint8_t frame[] = {0x0C, 0x00, 0xF3};

  adapter.log.write_statuses = {kFtIoError};
  SendFrame(frame, 3);
  EXPECT_EQ(adapter.log.writes.size(), 2u) << "one refusal, then accepted";
  EXPECT_EQ(adapter.log.writes[1], (std::vector<std::uint8_t>(frame, frame + 3)));

  adapter.log.writes.clear();
  adapter.log.write_statuses.assign(100, kFtIoError);
  SendFrame(frame, 3);
  EXPECT_EQ(adapter.log.writes.size(), static_cast<std::size_t>(kWriteAttempts));
  // Each attempt may take the whole write time-out: the bound keeps a send near 15 s.
  EXPECT_LE(kWriteAttempts * kWriteTimeoutMs, 15000u);
}

TEST(ReplyContains, LooksOnlyAtTheFirstNBytes) {
  std::array<std::uint8_t, 256> buffer{};
  buffer[4] = 'i';
  struct Case {
    std::uint8_t n;
    bool found;
  };
  for (const Case c : {Case{0, false}, Case{4, false}, Case{5, true}, Case{255, true}}) {
    EXPECT_EQ(ReplyContains(buffer.data(), 'i', c.n), c.found) << "n=" << int{c.n};
  }
  buffer[4] = 0;
  buffer[254] = 0x96;
  buffer[255] = 'F';
  EXPECT_TRUE(ReplyContains(buffer.data(), 0x96, 255));
  EXPECT_FALSE(ReplyContains(buffer.data(), 'F', 255));
}

TEST(WaitMs, LastsItsLengthAcrossTheCounterWrap) {
  ticks::VirtualClock clock;
  ticks::Use(clock);
  clock.SetTickMs(0xFFFFFFF0u);
  WaitMs(0);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  WaitMs(50);
  EXPECT_EQ(GetTickCount(), 0x22u) << "16 ms to the wrap and 34 after it";
}

}  // namespace
