#include <gtest/gtest.h>

#include "tests/simulator/sim_fixture.h"

namespace {

using AdapterTest = SimTest;

TEST_F(AdapterTest, OpenFindsTheAdapterByItsExactDescriptionOnce) {
  FtHandle h = nullptr;
  EXPECT_EQ(FT_OpenEx("TALVEK Update Adapter ", kFtOpenByDescription, &h), kFtDeviceNotFound);
  EXPECT_EQ(FT_OpenEx("TALVEK Update", kFtOpenByDescription, &h), kFtDeviceNotFound);
  ASSERT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &h), kFtOk);
  FtHandle second = nullptr;
  EXPECT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &second), kFtDeviceNotOpened);
  EXPECT_EQ(FT_Close(h), kFtOk);
  ASSERT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &h), kFtOk);
  FT_Close(h);
  velka->PlugAdapter(false);
  EXPECT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &h), kFtDeviceNotFound);
}

TEST_F(AdapterTest, UnsupportedSettingsAreRefusedAndChangeNothing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_NE(FT_SetBaudRate(handle, 0), kFtOk);
  EXPECT_NE(FT_SetBaudRate(handle, 50'000'000), kFtOk);
  EXPECT_NE(FT_SetDataCharacteristics(handle, 9, kFtStopBits1, kFtParityNone), kFtOk);
  EXPECT_NE(FT_SetDataCharacteristics(handle, 8, 1, kFtParityNone), kFtOk);
  EXPECT_NE(FT_SetDataCharacteristics(handle, 8, kFtStopBits1, 5), kFtOk);
  EXPECT_NE(FT_SetFlowControl(handle, 0x0800, 0, 0), kFtOk);
  EXPECT_NE(FT_Purge(handle, 4), kFtOk);
  EXPECT_EQ(velka->GetStatus().host_line, (sim::LineSettings{19200, 8, 2, 0}));
}

// Wire time: a write returns once its bytes have left; the device answers after the
// last byte; the reply is readable one adapter latency after it arrived.
TEST_F(AdapterTest, WritesTakeTheirWireTimeAndRepliesTheLatency) {
  velka->SetPower(true);
  ASSERT_NO_FATAL_FAILURE(Open());
  const std::uint64_t t0 = clock.NowUs();
  Send(frames::kSync);
  EXPECT_EQ(clock.NowUs() - t0, 2865u) << "5 bytes of 11 bits at 19200 baud";
  // 'F' takes 521 us back, then 1 ms of latency.
  clock.Pass(521 + 999);
  EXPECT_EQ(Read(), Bytes{});
  clock.Pass(1);
  EXPECT_EQ(Read(), Bytes{'F'});

  Line(19200, kFtStopBits1);
  const std::uint64_t t1 = clock.NowUs();
  Send(frames::Chunk(0));
  EXPECT_EQ(clock.NowUs() - t1, 136980u) << "263 bytes of 10 bits";
}

TEST_F(AdapterTest, ReadsTakeTheOldestFirstAndPurgeDropsOnlyReceivedBytes) {
  ASSERT_NO_FATAL_FAILURE(Handshake());
  ASSERT_TRUE(velka->Arm(
      {.at = sim::at::Chunk(0), .kind = sim::FaultKind::kNoiseBeforeReply, .noise = {0x01, 0x02}}));
  Send(frames::Chunk(0));
  Wait(10);
  std::uint32_t waiting = 0, read = 0;
  ASSERT_EQ(FT_GetQueueStatus(handle, &waiting), kFtOk);
  ASSERT_EQ(waiting, 3u);
  std::uint8_t buffer[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
  ASSERT_EQ(FT_Read(handle, buffer, 1, &read), kFtOk);
  EXPECT_EQ(read, 1u);
  EXPECT_EQ(buffer[0], 0x01);
  ASSERT_EQ(FT_Read(handle, buffer, 5, &read), kFtOk);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(buffer[0], 0x02);
  EXPECT_EQ(buffer[1], 'i');
  EXPECT_EQ(buffer[2], 0xAA);

  // What has arrived is purged; a late reply still on its way is not.
  ASSERT_TRUE(velka->Arm(
      {.at = sim::at::Chunk(1), .kind = sim::FaultKind::kNoiseBeforeReply, .noise = {0x07}}));
  ASSERT_TRUE(
      velka->Arm({.at = sim::at::Chunk(2), .kind = sim::FaultKind::kLateReply, .delay_ms = 300}));
  Send(frames::Chunk(1));
  Wait(10);
  ASSERT_EQ(FT_Purge(handle, kFtPurgeRx), kFtOk);
  EXPECT_EQ(Read(), Bytes{});
  Send(frames::Chunk(2));
  Wait(10);
  ASSERT_EQ(FT_Purge(handle, kFtPurgeRx), kFtOk);
  Wait(300);
  EXPECT_EQ(Read(), Bytes{'i'}) << "the late reply arrives after the purge";
}

// The device hears the host only at the rate it listens at.
TEST_F(AdapterTest, RateMismatch) {
  velka->SetPower(true);
  ASSERT_NO_FATAL_FAILURE(Open());
  // Waiting for sync: a host at another rate is simply not heard.
  Line(115200, kFtStopBits2);
  EXPECT_EQ(Exchange(frames::kSync), Bytes{});
  Line(19200, kFtStopBits2);
  ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
  EXPECT_TRUE(ViolationTexts().empty());
  // In the handshake a host at the wrong rate is at fault: recorded once per burst.
  Line(9600, kFtStopBits1);
  EXPECT_EQ(Exchange(frames::kCalibrationOff), Bytes{});
  ASSERT_EQ(ViolationTexts().size(), 1u);
  EXPECT_NE(ViolationTexts()[0].find("9600 8N1 while the boot ROM listens at 19200"),
            std::string::npos);
  Line(19200, kFtStopBits1);
  ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
  ASSERT_EQ(Exchange(frames::kProbe), Bytes{'i'});
  ASSERT_NO_FATAL_FAILURE(Download());
  ASSERT_EQ(Exchange(frames::kStart), Bytes{'i'});
  // The host forgot to switch to the loader's rate.
  EXPECT_EQ(Exchange(frames::kErase), Bytes{});
  ASSERT_EQ(ViolationTexts().size(), 2u);
  EXPECT_NE(ViolationTexts()[1].find("while the loader listens at 115200"), std::string::npos);
  // The device's own bytes at a rate the host is not set to arrive garbled.
  Line(115200, kFtStopBits1);
  ASSERT_TRUE(
      velka->Arm({.at = sim::at::EraseAck(), .kind = sim::FaultKind::kLateReply, .delay_ms = 5}));
  Send(frames::kErase);
  Line(19200, kFtStopBits1);
  Wait(20);
  EXPECT_EQ(Read(), Bytes{0x00});
}

}  // namespace
