#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "simulator/assembler.h"

namespace sim {

class Device;

// The device's boot ROM at 19200 baud: waits for the SyncFrame, takes the handshake in
// its order, receives the loader into RAM in chunks and starts it.
class BootRom {
 public:
  explicit BootRom(Device& device) : device_(device) {}

  void Reset();
  void OnByte(std::uint8_t byte);
  bool WaitingForSync() const { return stage_ == Stage::kWaitSync; }

 private:
  enum class Stage { kWaitSync, kCalibration, kProbe, kCommand0C0, kCommand0C1, kDownload };

  void OnFrame();
  void Refuse(const std::string& why, bool drop_rest);
  void OnSync();
  void OnCalibration();
  void OnProbe();
  void OnCommand0C();
  void OnChunk();
  void OnStart();
  // Whether the frame fits the stage; refuses it if not.
  bool InStage(Stage wanted, const char* frame);

  Device& device_;
  Stage stage_ = Stage::kWaitSync;
  Assembler frame_;
  std::array<std::uint8_t, 5> window_{};  // the latest bytes while waiting for sync
  std::size_t window_fill_ = 0;
  std::uint16_t sum_ = 0;  // the running checksum behind the command frames' check bytes
  int next_chunk_ = 0;
};

}  // namespace sim
