#include "protocol/boot_frames.h"

#include <initializer_list>

#include "payload/firmware.h"
#include "sequencer/sequencer.h"

std::uint8_t FrameBuffer[kChunkFrameLength];
std::uint16_t RunningChecksum = 0;
std::uint16_t DownloadOffset = 0;
std::uint16_t RetryCount = 0;

namespace {

void Put(std::initializer_list<std::uint8_t> bytes) {
  std::size_t i = 0;
  for (std::uint8_t b : bytes) FrameBuffer[i++] = b;
}

std::uint16_t Sum(const std::uint8_t* bytes, std::size_t count) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint16_t>(sum + bytes[i]);
  return sum;
}

void WriteChunkFrame(std::uint16_t address, std::uint16_t offset) {
  Put({0x12, static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
       0x00, 0x00});
  RunningChecksum = Sum(FrameBuffer, 5);
  FrameBuffer[5] = CheckByte(RunningChecksum);
  // The data check starts from 0xFF and covers the data bytes only.
  RunningChecksum = 0x00FF;
  for (std::uint16_t i = 0; i < kChunkDataLength; ++i) {
    const std::uint8_t b = LoaderImage[offset + i];
    FrameBuffer[6 + i] = b;
    RunningChecksum = static_cast<std::uint16_t>(RunningChecksum + b);
  }
  FrameBuffer[kChunkFrameLength - 1] = CheckByte(RunningChecksum);
}

}  // namespace

std::uint8_t CheckByte(std::uint16_t sum) {
  unsigned f = (sum & 0xFFu) + (sum >> 8);
  f += f >> 8;
  return static_cast<std::uint8_t>(0xFFu - f);
}

void BuildSyncFrame() { Put({0x00, 0x55, 0x66, 0x77, 0x88}); }

void BuildCalibrationOffFrame() {
  Put({0x00, 0x55, 0x87, 0x00, CheckByte(0x87 + 0x00)});
  // The lead-in 00 55 is not part of the sum.
  RunningChecksum = Sum(FrameBuffer + 2, 3);
}

void BuildProbeFrame() {
  Put({0x90, 0x00, 0x00, 0xFF, 0x01});
  FrameBuffer[5] = CheckByte(Sum(FrameBuffer, 5));
  RunningChecksum = static_cast<std::uint16_t>(RunningChecksum + Sum(FrameBuffer, 6));
}

void BuildCommand0CFrame(std::uint8_t selector) {
  RunningChecksum = static_cast<std::uint16_t>(RunningChecksum + 0x0C + selector);
  const std::uint8_t check = CheckByte(RunningChecksum);
  Put({0x0C, selector, check});
  RunningChecksum = static_cast<std::uint16_t>(RunningChecksum + check);
}

void BuildChunkFrame() { WriteChunkFrame(TargetAddress, DownloadOffset); }

void RebuildSentChunkFrame() {
  const auto offset = static_cast<std::uint16_t>(DownloadOffset - kChunkDataLength);
  WriteChunkFrame(static_cast<std::uint16_t>(kLoaderAddress + offset), offset);
}
