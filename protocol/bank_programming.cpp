#include "protocol/bank_programming.h"

#include <cstring>

#include "link/link.h"
#include "payload/firmware.h"
#include "protocol/loader_commands.h"
#include "sequencer/sequencer.h"

namespace {

std::uint8_t PageBuffer[kPageSize];

void SendHeader(std::uint16_t length, std::uint8_t bank) {
  PageBuffer[0] = static_cast<std::uint8_t>(length >> 8);
  PageBuffer[1] = static_cast<std::uint8_t>(length & 0xFF);
  PageBuffer[2] = bank;
  PageBuffer[3] = static_cast<std::uint8_t>(TargetAddress >> 8);
  PageBuffer[4] = static_cast<std::uint8_t>(TargetAddress & 0xFF);
  SendFrame(PageBuffer, 5);
}

// An immediate read, then up to `polls` reads each followed by a wait.
bool Acknowledged(std::uint16_t polls, std::uint16_t wait_ms) {
  std::uint16_t n = 0;
  ReadAvailable(PageBuffer, 1, n);
  if (n == 1 && PageBuffer[0] == kReplyDone) return true;
  for (std::uint16_t poll = 0; poll < polls; ++poll) {
    ReadAvailable(PageBuffer, 1, n);
    WaitMs(wait_ms);
    if (n == 1 && PageBuffer[0] == kReplyDone) return true;
  }
  return false;
}

}  // namespace

bool ProgramBanks() {
  for (std::size_t b = 0; b < kBankCount; ++b) {
    const BankImage& image = BankImages[b];
    const BankTiming& timing = kBankTimings[b];
    TargetAddress = 0;
    // The page offset is wider than TargetAddress, which wraps after a 64 KiB bank.
    for (std::uint32_t offset = 0; offset < image.size; offset += kPageSize) {
      const std::uint8_t* page = image.data + offset;
      if (PageHasData(page)) {
        SendHeader(static_cast<std::uint16_t>(kPageSize), image.bank);
        std::memcpy(PageBuffer, page, kPageSize);
        SendFrame(PageBuffer, static_cast<std::uint16_t>(kPageSize));
        if (!Acknowledged(timing.polls, timing.poll_wait_ms)) return false;
      }
      TargetAddress = static_cast<std::uint16_t>(TargetAddress + kPageSize);
      if (timing.after_page_ms > 0) WaitMs(timing.after_page_ms);
      AdvanceProgress();
    }
  }
  TargetAddress = 0;
  SendHeader(2, BankImages[0].bank);
  PageBuffer[0] = BankImages[0].data[0];
  PageBuffer[1] = BankImages[0].data[1];
  SendFrame(PageBuffer, 2);
  WaitMs(50);
  return Acknowledged(100, 1);
}
