#include "simulator/boot_rom.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "payload/firmware.h"
#include "simulator/check_byte.h"
#include "simulator/device.h"

namespace sim {
namespace {

constexpr std::array<std::uint8_t, 5> kSync = {0x00, 0x55, 0x66, 0x77, 0x88};
constexpr std::uint8_t kChunkOpcode = 0x12;
constexpr std::uint8_t kStartOpcode = 0x9F;
constexpr std::uint8_t kProbeOpcode = 0x90;
constexpr std::uint8_t kCommand0COpcode = 0x0C;

std::string Hex(unsigned value, int digits = 2) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::uint16_t Sum(const std::uint8_t* bytes, std::size_t count) {
  return static_cast<std::uint16_t>(std::accumulate(bytes, bytes + count, 0u));
}

const char* Expected(int stage) {
  static const char* const kNames[] = {"the SyncFrame",    "the CalibrationOffFrame",
                                       "the ProbeFrame",   "Command0CFrame 0",
                                       "Command0CFrame 1", "a ChunkFrame or the StartFrame"};
  return kNames[stage];
}

}  // namespace

void BootRom::Reset() {
  stage_ = Stage::kWaitSync;
  frame_.Reset();
  window_fill_ = 0;
  sum_ = 0;
  next_chunk_ = 0;
}

void BootRom::OnByte(std::uint8_t byte) {
  if (stage_ == Stage::kWaitSync) {
    // Anything but the sync pattern is ignored here, a frame cut by the power-on too.
    std::shift_left(window_.begin(), window_.end(), 1);
    window_.back() = byte;
    window_fill_ = std::min(window_fill_ + 1, window_.size());
    if (window_fill_ == window_.size() && window_ == kSync) OnSync();
    return;
  }
  frame_.last_us = device_.Time();
  if (!frame_.dropping) {
    frame_.bytes.push_back(byte);
    const auto& b = frame_.bytes;
    if (b.size() == 1) {
      switch (byte) {
        case 0x00:
          frame_.expected = 5;
          break;
        case kProbeOpcode:
          frame_.expected = 6;
          break;
        case kCommand0COpcode:
          frame_.expected = 3;
          break;
        case kChunkOpcode:
          frame_.expected = 6 + Device::kChunkBytes + 1;
          break;
        case kStartOpcode:
          frame_.expected = 5;
          break;
        default:
          Refuse("unknown boot ROM opcode " + Hex(byte), true);
          break;
      }
    } else if (b[0] == 0x00 && b.size() == 2 && byte != 0x55) {
      Refuse("lead-in 00 " + Hex(byte) + ", expected 00 55", true);
    } else if (b[0] == 0x00 && b.size() == 3 && byte != 0x66 && byte != 0x87) {
      Refuse("unknown command " + Hex(byte) + " after the lead-in 00 55", true);
    }
    if (!frame_.bytes.empty() && frame_.bytes.size() == frame_.expected) {
      OnFrame();
      frame_.Clear();
    }
  }
  if (!frame_.Idle()) device_.WatchGap(frame_, "boot ROM frame");
}

void BootRom::Refuse(const std::string& why, bool drop_rest) {
  device_.Violate("boot ROM: " + why);
  frame_.Clear();
  frame_.dropping = drop_rest;
}

bool BootRom::InStage(Stage wanted, const char* frame) {
  if (stage_ == wanted) return true;
  Refuse(std::string(frame) + " out of order: expected " + Expected(static_cast<int>(stage_)),
         false);
  return false;
}

void BootRom::OnFrame() {
  const auto& b = frame_.bytes;
  switch (b[0]) {
    case 0x00:
      b[2] == 0x66 ? OnSync() : OnCalibration();
      break;
    case kProbeOpcode:
      OnProbe();
      break;
    case kCommand0COpcode:
      OnCommand0C();
      break;
    case kChunkOpcode:
      OnChunk();
      break;
    case kStartOpcode:
      OnStart();
      break;
  }
}

void BootRom::OnSync() {
  if (stage_ != Stage::kWaitSync) {
    if (!std::equal(kSync.begin(), kSync.end(), frame_.bytes.begin())) {
      Refuse("SyncFrame with wrong bytes", false);
      return;
    }
    if (stage_ != Stage::kCalibration) device_.Note("boot ROM synchronised again");
  }
  if (device_.Respond(at::Sync(), 'F') == Device::Outcome::kPowerLost) return;
  stage_ = Stage::kCalibration;
  sum_ = 0;
  next_chunk_ = 0;
}

void BootRom::OnCalibration() {
  const auto& b = frame_.bytes;
  if (b[3] != 0x00)
    return Refuse("CalibrationOffFrame argument " + Hex(b[3]) + ", expected 0x00", false);
  const std::uint8_t check = CheckByte(Sum(&b[2], 2));
  if (b[4] != check) {
    return Refuse("CalibrationOffFrame check byte " + Hex(b[4]) + ", expected " + Hex(check),
                  false);
  }
  if (!InStage(Stage::kCalibration, "CalibrationOffFrame")) return;
  if (device_.Respond(at::Calibration(), 'i') == Device::Outcome::kPowerLost) return;
  sum_ = Sum(&b[2], 3);
  stage_ = Stage::kProbe;
}

void BootRom::OnProbe() {
  const auto& b = frame_.bytes;
  const std::uint8_t check = CheckByte(Sum(b.data(), 5));
  if (b[5] != check) {
    return Refuse("ProbeFrame check byte " + Hex(b[5]) + ", expected " + Hex(check), false);
  }
  if (b[1] != 0x00 || b[2] != 0x00 || b[3] != 0xFF || b[4] != 0x01) {
    return Refuse("ProbeFrame arguments " + Hex(b[1]) + " " + Hex(b[2]) + " " + Hex(b[3]) + " " +
                      Hex(b[4]) + ", expected 00 00 FF 01",
                  false);
  }
  if (!InStage(Stage::kProbe, "ProbeFrame")) return;
  const std::uint8_t answer = device_.ProbeAnswer();
  if (device_.Respond(at::Probe(), answer) == Device::Outcome::kPowerLost) return;
  sum_ = static_cast<std::uint16_t>(sum_ + Sum(b.data(), 6));
  stage_ = answer == 0x96 ? Stage::kCommand0C0 : Stage::kDownload;
}

void BootRom::OnCommand0C() {
  const auto& b = frame_.bytes;
  const int selector = stage_ == Stage::kCommand0C1 ? 1 : 0;
  if (stage_ != Stage::kCommand0C0 && stage_ != Stage::kCommand0C1) {
    InStage(Stage::kCommand0C0, "Command0CFrame");
    return;
  }
  if (b[1] != selector) {
    return Refuse("Command0CFrame selector " + Hex(b[1]) + ", expected " + Hex(selector), false);
  }
  const auto sum = static_cast<std::uint16_t>(sum_ + kCommand0COpcode + selector);
  const std::uint8_t check = CheckByte(sum);
  if (b[2] != check) {
    return Refuse("Command0CFrame " + std::to_string(selector) + " check byte " + Hex(b[2]) +
                      ", expected " + Hex(check),
                  false);
  }
  if (device_.Respond(at::Command0C(selector), 'i') == Device::Outcome::kPowerLost) return;
  sum_ = static_cast<std::uint16_t>(sum + check);
  stage_ = selector == 0 ? Stage::kCommand0C1 : Stage::kDownload;
}

void BootRom::OnChunk() {
  const auto& b = frame_.bytes;
  if (!InStage(Stage::kDownload, "ChunkFrame")) return;
  const std::uint8_t header_check = CheckByte(Sum(b.data(), 5));
  if (b[5] != header_check) {
    return Refuse("ChunkFrame header check " + Hex(b[5]) + ", expected " + Hex(header_check),
                  false);
  }
  if (b[3] != 0x00 || b[4] != 0x00) {
    return Refuse(
        "ChunkFrame bytes 3 and 4 are " + Hex(b[3]) + " " + Hex(b[4]) + ", expected 00 00", false);
  }
  const std::uint8_t data_check =
      CheckByte(static_cast<std::uint16_t>(0xFF + Sum(&b[6], Device::kChunkBytes)));
  if (b[262] != data_check) {
    return Refuse("ChunkFrame data check " + Hex(b[262]) + ", expected " + Hex(data_check), false);
  }
  const unsigned address = b[1] | (b[2] << 8);
  const unsigned expected = Device::kLoadAddress + Device::kChunkBytes * next_chunk_;
  const bool resend = next_chunk_ > 0 && address == expected - Device::kChunkBytes;
  if (address != expected && !resend) {
    if (next_chunk_ == Device::kChunks) {
      return Refuse("ChunkFrame for " + Hex(address, 4) + " after the whole loader was received",
                    false);
    }
    return Refuse("ChunkFrame address " + Hex(address, 4) + ", expected " + Hex(expected, 4),
                  false);
  }
  const int k = resend ? next_chunk_ - 1 : next_chunk_;
  if (device_.Respond(at::Chunk(k), 'i') == Device::Outcome::kPowerLost) return;
  std::copy(&b[6], &b[6] + Device::kChunkBytes, device_.Ram().begin() + k * Device::kChunkBytes);
  device_.Chunks().set(static_cast<std::size_t>(k));
  if (!resend) ++next_chunk_;
}

void BootRom::OnStart() {
  const auto& b = frame_.bytes;
  if (!InStage(Stage::kDownload, "StartFrame")) return;
  const std::uint8_t check = CheckByte(Sum(b.data(), 4));
  if (b[4] != check) {
    return Refuse("StartFrame check byte " + Hex(b[4]) + ", expected " + Hex(check), false);
  }
  const unsigned address = b[1] | (b[2] << 8);
  if (address != Device::kLoadAddress || b[3] != 0x00) {
    return Refuse("StartFrame for " + Hex(address, 4) + " " + Hex(b[3]) +
                      ", expected the load address 0x5240 and 00",
                  false);
  }
  if (!device_.Chunks().all()) {
    return Refuse("StartFrame with " + std::to_string(device_.Chunks().count()) +
                      " of 12 loader chunks received",
                  false);
  }
  if (const auto at_address = device_.RamDifference()) {
    return Refuse("StartFrame: RAM differs from the loader image at " + Hex(*at_address, 4), false);
  }
  if (device_.Respond(at::Start(), 'i') == Device::Outcome::kPowerLost) return;
  device_.RunLoader();
}

}  // namespace sim
