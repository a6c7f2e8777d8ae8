#include "protocol/loader_commands.h"

#include <cstdint>

#include "link/link.h"
#include "protocol/boot_frames.h"
#include "sequencer/sequencer.h"

namespace {

// One read of up to `count` bytes, then a wait; whether that read delivered `reply`.
bool Poll(std::uint8_t* buffer, std::uint16_t count, std::uint16_t wait_ms, std::uint8_t reply) {
  std::uint16_t n = 0;
  ReadAvailable(buffer, count, n);
  WaitMs(wait_ms);
  return ReplyContains(buffer, reply, static_cast<std::uint8_t>(n));
}

}  // namespace

bool StartLoader() {
  TargetAddress = kLoaderAddress;
  std::uint8_t frame[5] = {0x9F, static_cast<std::uint8_t>(TargetAddress & 0xFF),
                           static_cast<std::uint8_t>(TargetAddress >> 8), 0x00, 0x00};
  RunningChecksum = static_cast<std::uint16_t>(frame[0] + frame[1] + frame[2] + frame[3]);
  frame[4] = CheckByte(RunningChecksum);
  SendFrame(frame, sizeof frame);
  WaitMs(50);
  std::uint16_t n = 0;
  ReadAvailable(frame, 1, n);
  // Nothing read leaves the frame's own first byte in place, which is not the reply.
  return frame[0] == kReplyAck;
}

bool EraseFlash() {
  for (int i = 0; i < 3; ++i) WaitMs(50);
  SendText("E\r");
  WaitMs(50);
  std::uint8_t reply[5] = {};
  bool acknowledged = false;
  for (int poll = 0; poll < 40 && !acknowledged; ++poll) {
    acknowledged = Poll(reply, 5, 1, kReplyEraseAck);
  }
  if (!acknowledged) return false;
  // The completion byte only shortens the wait: an erase that never reports is given
  // its full time and counts as done.
  for (int poll = 0; poll < 400; ++poll) {
    std::uint16_t n = 0;
    ReadAvailable(reply, 1, n);
    WaitMs(20);
    AdvanceProgress();
    if (ReplyContains(reply, kReplyDone, static_cast<std::uint8_t>(n))) break;
  }
  return true;
}

bool EnterDataMode() {
  SendText("D\r");
  WaitMs(50);
  std::uint8_t reply[1] = {};
  for (int poll = 0; poll < 40; ++poll) {
    if (Poll(reply, 1, 1, kReplyDataMode)) return true;
  }
  return false;
}
