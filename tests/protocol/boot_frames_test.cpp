#include "protocol/boot_frames.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "payload/firmware.h"
#include "sequencer/sequencer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::size_t length) { return Bytes(FrameBuffer, FrameBuffer + length); }

TEST(CheckByte, FoldsTheCarryOnce) {
  struct Case {
    std::uint16_t sum;
    std::uint8_t check;
  };
  for (const Case c :
       {Case{0x0190, 0x6E}, Case{0x0087, 0x78}, Case{0x0131, 0xCD}, Case{0xFFFF, 0x00},
        Case{0x01FF, 0xFE}, Case{0x80FF, 0x7F}, Case{0x807F, 0x00}, Case{0x00FF, 0x00}}) {
    EXPECT_EQ(CheckByte(c.sum), c.check) << std::hex << c.sum;
  }
}

TEST(BootFrames, HandshakeFramesAndTheirRunningChecksum) {
  for (int pass = 0; pass < 2; ++pass) {  // a second pass builds the same bytes
    RunningChecksum = 0xBEEF;
    BuildSyncFrame();
    EXPECT_EQ(Frame(kSyncFrameLength), (Bytes{0x00, 0x55, 0x66, 0x77, 0x88}));
    EXPECT_EQ(RunningChecksum, 0xBEEF) << "the sync frame carries no check";

    BuildCalibrationOffFrame();
    EXPECT_EQ(Frame(kCalibrationOffFrameLength), (Bytes{0x00, 0x55, 0x87, 0x00, 0x78}));
    EXPECT_EQ(RunningChecksum, 0x00FF);

    BuildProbeFrame();
    EXPECT_EQ(Frame(kProbeFrameLength), (Bytes{0x90, 0x00, 0x00, 0xFF, 0x01, 0x6E}));
    EXPECT_EQ(RunningChecksum, 0x02FD);

    BuildCommand0CFrame(0x00);
    EXPECT_EQ(Frame(kCommand0CFrameLength), (Bytes{0x0C, 0x00, 0xF3}));
    EXPECT_EQ(RunningChecksum, 0x03FC);
    BuildCommand0CFrame(0x01);
    EXPECT_EQ(Frame(kCommand0CFrameLength), (Bytes{0x0C, 0x01, 0xF2}));
    EXPECT_EQ(RunningChecksum, 0x04FB);
  }
}

TEST(BootFrames, ChunkHeadersFollowTheDownloadAddress) {
  for (std::uint16_t k = 0; k < 12; ++k) {
    DownloadOffset = static_cast<std::uint16_t>(256 * k);
    TargetAddress = static_cast<std::uint16_t>(kLoaderAddress + DownloadOffset);
    BuildChunkFrame();
    EXPECT_EQ(Frame(6), (Bytes{0x12, 0x40, static_cast<std::uint8_t>(0x52 + k), 0x00, 0x00,
                               static_cast<std::uint8_t>(0x5B - k)}))
        << "chunk " << k;
    EXPECT_TRUE(std::equal(FrameBuffer + 6, FrameBuffer + 262, LoaderImage + DownloadOffset));
  }
}

class UniformLoader : public ::testing::Test {
 protected:
  void TearDown() override { LoaderImage = BuiltInLoaderImage(); }
  std::uint8_t DataCheckOf(const std::array<std::uint8_t, kLoaderSize>& image) {
    LoaderImage = image.data();
    DownloadOffset = 0;
    TargetAddress = kLoaderAddress;
    BuildChunkFrame();
    return FrameBuffer[kChunkFrameLength - 1];
  }
};

TEST_F(UniformLoader, DataChecksOfKnownChunks) {
  struct Case {
    std::uint8_t fill;
    std::uint8_t check;
  };
  std::array<std::uint8_t, kLoaderSize> image;
  for (const Case c : {Case{0x00, 0x00}, Case{0xFF, 0x00}, Case{0x01, 0xFE}, Case{0x80, 0x7F}}) {
    image.fill(c.fill);
    EXPECT_EQ(DataCheckOf(image), c.check) << "256 x " << int{c.fill};
  }
  for (std::size_t i = 0; i < 256; ++i) image[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(DataCheckOf(image), 0x00) << "ascending bytes";
}

TEST(BootFrames, TheShippedLoaderEndsInErasedChunks) {
  for (std::uint16_t k : {10, 11}) {
    DownloadOffset = static_cast<std::uint16_t>(256 * k);
    BuildChunkFrame();
    EXPECT_EQ(FrameBuffer[kChunkFrameLength - 1], 0x00) << "chunk " << k;
  }
}

TEST(BootFrames, RebuildRestoresTheChunkAPollOverwrote) {
  DownloadOffset = 0x300;
  TargetAddress = kLoaderAddress + 0x300;
  BuildChunkFrame();
  const Bytes sent = Frame(kChunkFrameLength);
  DownloadOffset = 0x400;  // as after the send
  TargetAddress = kLoaderAddress + 0x400;
  FrameBuffer[0] = 'x';
  RebuildSentChunkFrame();
  EXPECT_EQ(Frame(kChunkFrameLength), sent);
}

}  // namespace
