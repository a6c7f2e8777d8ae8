#include <gtest/gtest.h>

#include "tests/simulator/sim_fixture.h"

namespace {

using sim::Fault;
using sim::FaultKind;
namespace at = sim::at;

using FaultTest = SimTest;

// A fault aimed at the calibration-off step, seen by a host that reads 50 ms after the
// frame and again 600 ms later.
TEST_F(FaultTest, EachReplyFaultAtItsStep) {
  struct Case {
    Fault fault;
    Bytes at_50ms;
    Bytes later;
  };
  const Case cases[] = {
      {{at::Calibration(), FaultKind::kNoReply}, {}, {}},
      {{at::Calibration(), FaultKind::kWrongReply, 1, 0x3F}, {0x3F}, {}},
      {{at::Calibration(), FaultKind::kLateReply}, {}, {'i'}},
      {{at::Calibration(), FaultKind::kNoiseBeforeReply, 1, 0, 0, {0x00, 0xA5}},
       {0x00, 0xA5, 'i'},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(sim::Describe(c.fault.kind));
    Make({});
    velka->SetPower(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(velka->Arm(c.fault));
    ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'}) << "a fault spoils its own step only";
    Line(19200, kFtStopBits1);
    EXPECT_EQ(Exchange(frames::kCalibrationOff), c.at_50ms);
    Wait(600);
    EXPECT_EQ(Read(), c.later);
    // The step took effect: the device expects the probe now.
    EXPECT_EQ(Exchange(frames::kProbe), Bytes{'i'});
    EXPECT_TRUE(ViolationTexts().empty());
  }
}

TEST_F(FaultTest, AChunkWithoutReplyIsAcknowledgedWhenSentAgain) {
  ASSERT_NO_FATAL_FAILURE(Handshake());
  ASSERT_TRUE(velka->Arm({at::Chunk(3), FaultKind::kNoReply}));
  for (int k = 0; k < 3; ++k) ASSERT_EQ(Exchange(frames::Chunk(k), 100), Bytes{'i'});
  EXPECT_EQ(Exchange(frames::Chunk(3), 100), Bytes{});
  EXPECT_EQ(Exchange(frames::Chunk(3), 100), Bytes{'i'});
  // Armed for every occurrence, the chunk is never answered.
  ASSERT_TRUE(velka->Arm({.at = at::Chunk(4), .kind = FaultKind::kNoReply, .times = 0}));
  for (int attempt = 0; attempt < 5; ++attempt) EXPECT_EQ(Exchange(frames::Chunk(4), 100), Bytes{});
  EXPECT_EQ(velka->GetStatus().chunks_received, 5);
}

TEST_F(FaultTest, PowerLostAtAStepSwitchesTheDeviceOff) {
  ASSERT_NO_FATAL_FAILURE(Handshake());
  ASSERT_NO_FATAL_FAILURE(Download());
  ASSERT_TRUE(velka->Arm({at::Start(), FaultKind::kPowerLost}));
  EXPECT_EQ(Exchange(frames::kStart), Bytes{});
  EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kOff);
  EXPECT_FALSE(velka->RamHoldsLoader());
  // Switched on again it is a fresh boot ROM.
  velka->SetPower(true);
  Line(19200, kFtStopBits2);
  EXPECT_EQ(Exchange(frames::kSync), Bytes{'F'});
  EXPECT_EQ(velka->GetStatus().chunks_received, 0);
}

TEST_F(FaultTest, PowerLostWhileAPageIsWrittenLeavesItUnwritten) {
  ASSERT_NO_FATAL_FAILURE(ToDataMode());
  ASSERT_TRUE(velka->Arm({at::Page(0xDF, 8), FaultKind::kPowerLost}));
  ASSERT_EQ(WritePage(0xDF, 0), Bytes{'f'});
  EXPECT_EQ(WritePage(0xDF, 8 * 1024), Bytes{});
  EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kOff);
  const auto difference = velka->FlashDifference();
  ASSERT_TRUE(difference.has_value());
  EXPECT_NE(difference->find("bank 0xDF offset 0x2000"), std::string::npos) << *difference;
}

TEST_F(FaultTest, AdapterUnpluggedAtAStep) {
  ASSERT_NO_FATAL_FAILURE(Handshake());
  ASSERT_TRUE(velka->Arm({at::Chunk(0), FaultKind::kAdapterUnplugged}));
  const Bytes chunk = frames::Chunk(0);
  std::uint32_t written = 0;
  ASSERT_EQ(FT_Write(handle, chunk.data(), 263, &written), kFtOk);
  Wait(100);
  std::uint32_t waiting = 7;
  EXPECT_NE(FT_GetQueueStatus(handle, &waiting), kFtOk);
  EXPECT_EQ(waiting, 0u);
  EXPECT_NE(FT_Write(handle, chunk.data(), 263, &written), kFtOk);
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(velka->GetStatus().adapter_plugged);
  // The device took the chunk; the old handle stays dead after plugging in again.
  EXPECT_EQ(velka->GetStatus().chunks_received, 1);
  velka->PlugAdapter(true);
  EXPECT_NE(FT_Write(handle, chunk.data(), 263, &written), kFtOk);
  FT_Close(handle);
  handle = nullptr;
  ASSERT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &handle), kFtOk);
}

TEST_F(FaultTest, EraseFaults) {
  struct Case {
    Fault fault;
    Bytes ack;
    Bytes after_2s;
    bool erased;
  };
  const Case cases[] = {
      {{at::EraseDone(), FaultKind::kEraseNeverCompletes}, {'e'}, {}, false},
      {{at::EraseAck(), FaultKind::kEraseNeverCompletes}, {'e'}, {}, false},
      {{at::EraseAck(), FaultKind::kNoReply}, {}, {'f'}, true},
      {{at::EraseDone(), FaultKind::kWrongReply, 1, 0x67}, {'e'}, {0x67}, true},
      {{at::EraseDone(), FaultKind::kPowerLost}, {'e'}, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(sim::Describe(c.fault.at) + ": " + sim::Describe(c.fault.kind));
    Make({});
    ASSERT_NO_FATAL_FAILURE(Handshake());
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(StartLoader());
    ASSERT_TRUE(velka->Arm(c.fault));
    EXPECT_EQ(Exchange(frames::kErase), c.ack);
    Wait(8000);
    EXPECT_EQ(Read(), c.after_2s);
    EXPECT_EQ(velka->FlashByte(0xFD, 0) == 0xFF, c.erased);
    if (c.fault.kind == FaultKind::kEraseNeverCompletes) {
      EXPECT_EQ(velka->GetStatus().phase, sim::Phase::kErasing);
      EXPECT_EQ(Exchange(frames::kDataMode), Bytes{});
      EXPECT_EQ(ViolationTexts().size(), 1u);
    }
  }
}

TEST_F(FaultTest, NeverCompletingEraseOnlyAtEraseSteps) {
  EXPECT_FALSE(velka->Arm({at::Chunk(0), FaultKind::kEraseNeverCompletes}));
  EXPECT_FALSE(velka->Arm({.at = at::Probe(), .kind = FaultKind::kNoReply, .times = -1}));
}

TEST_F(FaultTest, OpenFaults) {
  struct Case {
    sim::OpenFault fault;
    FtStatus status;
  };
  const Case cases[] = {
      {sim::OpenFault::kMissing, kFtDeviceNotFound},
      {sim::OpenFault::kInUse, kFtDeviceNotOpened},
      {sim::OpenFault::kOtherDescription, kFtDeviceNotFound},
      {sim::OpenFault::kNone, kFtOk},
  };
  for (const Case& c : cases) {
    velka->SetOpenFault(c.fault);
    FtHandle h = nullptr;
    EXPECT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &h), c.status);
    EXPECT_EQ(h != nullptr, c.status == kFtOk);
    if (h != nullptr) FT_Close(h);
  }
  velka->SetOpenFault(sim::OpenFault::kOtherDescription);
  FtHandle h = nullptr;
  ASSERT_EQ(FT_OpenEx("USB <-> Serial Cable", kFtOpenByDescription, &h), kFtOk);
  FT_Close(h);
}

}  // namespace
