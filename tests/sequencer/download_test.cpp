#include <gtest/gtest.h>

#include <algorithm>

#include "app/updater_form.h"
#include "payload/firmware.h"
#include "protocol/boot_frames.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "simulator/faults.h"
#include "tests/support/update_rig.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Chunk k as it is built for the shipped loader.
Bytes ChunkFrame(int k) {
  DownloadOffset = static_cast<std::uint16_t>(256 * k);
  TargetAddress = static_cast<std::uint16_t>(kLoaderAddress + DownloadOffset);
  BuildChunkFrame();
  return Bytes(FrameBuffer, FrameBuffer + kChunkFrameLength);
}

TEST(Download, ASilentDeviceGetsTheChunkFortyTwoTimes) {
  UpdateRig rig;
  const Bytes chunk3 = ChunkFrame(3);
  ASSERT_TRUE(
      rig.velka.Arm({.at = sim::at::Chunk(3), .kind = sim::FaultKind::kNoReply, .times = 0}));
  ASSERT_TRUE(rig.RunUpdate());
  EXPECT_EQ(rig.Label(), kDownloadFailedText);
  const auto& w = rig.recorder.writes;
  EXPECT_EQ(std::count(w.begin(), w.end(), chunk3), 42);
  EXPECT_EQ(std::count(w.begin(), w.end(), ChunkFrame(4)), 0);
}

// A poll that read a wrong byte leaves it over the frame's first byte; the re-send
// after a later empty poll must still be the chunk as built.
TEST(Download, AResendAfterAWrongByteIsTheChunkAsBuilt) {
  UpdateRig rig;
  ASSERT_TRUE(rig.velka.Arm({.at = sim::at::Chunk(0),
                             .kind = sim::FaultKind::kWrongReply,
                             .times = 2,
                             .wrong_byte = 'x'}));
  ASSERT_TRUE(rig.RunUpdate());
  EXPECT_EQ(rig.Label(), kSuccessText);
  const Bytes chunk0 = ChunkFrame(0);
  std::vector<Bytes> legal;
  for (int k = 0; k < 12; ++k) legal.push_back(ChunkFrame(k));
  const auto& w = rig.recorder.writes;
  EXPECT_GE(std::count(w.begin(), w.end(), chunk0), 3);
  for (const Bytes& write : w) {
    if (write.size() != kChunkFrameLength) continue;
    EXPECT_NE(std::find(legal.begin(), legal.end(), write), legal.end())
        << "a chunk went out that was never built, starting " << int{write[0]};
  }
  EXPECT_TRUE(rig.velka.Violations().empty()) << rig.velka.Violations().front().ToString();
  EXPECT_EQ(rig.velka.FlashDifference(), std::nullopt);
}

TEST(Download, AnAcknowledgementBehindAnotherByteIsReadByTheNextPoll) {
  UpdateRig rig;
  ASSERT_TRUE(rig.velka.Arm(
      {.at = sim::at::Chunk(7), .kind = sim::FaultKind::kNoiseBeforeReply, .noise = {0x00}}));
  ASSERT_TRUE(rig.RunUpdate());
  EXPECT_EQ(rig.Label(), kSuccessText);
}

}  // namespace
