#pragma once

#include <cstdint>
#include <string>

#include "simulator/assembler.h"
#include "simulator/status.h"

namespace sim {

class Device;

// The downloaded loader at 115200 baud: "E\r" erases the flash, "D\r" enters data mode,
// then page frames are written into the banks and the closing frame ends the run.
class Loader {
 public:
  explicit Loader(Device& device) : device_(device) {}

  void Reset();
  void OnByte(std::uint8_t byte);

  Phase GetPhase() const;
  // Whether the host has said anything to it since it started.
  bool Spoken() const { return spoken_; }
  bool AwaitingPowerCycle() const { return stage_ == Stage::kAwaitingPowerCycle; }
  bool Closed() const { return stage_ == Stage::kClosed; }
  int PagesWritten() const { return pages_written_; }

 private:
  enum class Stage {
    kReady,               // waiting for "E\r"
    kErasing,             // until the erase is done
    kErased,              // waiting for "D\r"
    kAwaitingPowerCycle,  // first of two passes erased: nothing more until power-cycled
    kDataMode,            // page frames and the closing frame
    kWriting,             // a page or the closing frame is being written
    kClosed,              // the closing frame was written
  };

  void Refuse(const std::string& why, bool drop_rest);
  void OnCommandByte(std::uint8_t byte);
  void OnDataByte(std::uint8_t byte);
  void OnHeader();
  void OnPage();
  void OnClosing();
  void FinishErase();

  Device& device_;
  Stage stage_ = Stage::kReady;
  Assembler frame_;
  bool spoken_ = false;
  int pages_written_ = 0;
};

}  // namespace sim
