#include "simulator/loader.h"

#include <cstdio>
#include <vector>

#include "payload/firmware.h"
#include "simulator/device.h"
#include "simulator/flash.h"

namespace sim {
namespace {

constexpr std::size_t kHeaderBytes = 5;
constexpr unsigned kPageCount = 0x0400;
constexpr unsigned kClosingCount = 0x0002;

std::string Hex(unsigned value, int digits = 2) {
  char text[12];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

const std::uint8_t* PayloadBank(std::uint8_t bank) {
  for (std::size_t i = 0; i < kBankCount; ++i) {
    if (BankImages[i].bank == bank) return BankImages[i].data;
  }
  return nullptr;
}

}  // namespace

void Loader::Reset() {
  stage_ = Stage::kReady;
  frame_.Reset();
  spoken_ = false;
  pages_written_ = 0;
}

Phase Loader::GetPhase() const {
  switch (stage_) {
    case Stage::kErasing:
      return Phase::kErasing;
    case Stage::kDataMode:
    case Stage::kWriting:
      return Phase::kProgramming;
    default:
      return Phase::kLoader;
  }
}

void Loader::Refuse(const std::string& why, bool drop_rest) {
  device_.Violate("loader: " + why);
  frame_.Clear();
  frame_.dropping = drop_rest;
}

void Loader::OnByte(std::uint8_t byte) {
  spoken_ = true;
  frame_.last_us = device_.Time();
  if (!frame_.dropping) {
    switch (stage_) {
      case Stage::kReady:
      case Stage::kErased:
        OnCommandByte(byte);
        break;
      case Stage::kDataMode:
        OnDataByte(byte);
        break;
      case Stage::kErasing:
        Refuse("byte " + Hex(byte) + " while the flash is being erased", true);
        break;
      case Stage::kAwaitingPowerCycle:
        Refuse("byte " + Hex(byte) +
                   " after the first erase; the device must be switched off "
                   "and on",
               true);
        break;
      case Stage::kWriting:
        Refuse("byte " + Hex(byte) + " while a page is being written", true);
        break;
      case Stage::kClosed:
        Refuse("byte " + Hex(byte) + " after the closing frame", true);
        break;
    }
  }
  if (!frame_.Idle()) device_.WatchGap(frame_, "loader frame");
}

void Loader::OnCommandByte(std::uint8_t byte) {
  frame_.bytes.push_back(byte);
  if (frame_.bytes.size() == 1) {
    if (byte != 'E' && byte != 'D') Refuse("unknown command byte " + Hex(byte), true);
    return;
  }
  const std::uint8_t command = frame_.bytes[0];
  frame_.Clear();
  if (byte != '\r') {
    return Refuse(std::string("command '") + static_cast<char>(command) + "' followed by " +
                      Hex(byte) + ", expected 0x0D",
                  true);
  }
  if (command == 'D') {
    if (stage_ != Stage::kErased) return Refuse("\"D\\r\" before the flash was erased", false);
    if (device_.Respond(at::DataMode(), 'd') == Device::Outcome::kPowerLost) return;
    stage_ = Stage::kDataMode;
    return;
  }
  const auto outcome = device_.Respond(at::EraseAck(), 'e');
  if (outcome == Device::Outcome::kPowerLost) return;
  stage_ = Stage::kErasing;
  if (outcome == Device::Outcome::kEraseStuck) return;
  device_.Schedule(device_.Time() + std::uint64_t{device_.GetTimings().erase_ms} * 1000,
                   [this] { FinishErase(); });
}

void Loader::FinishErase() {
  const auto outcome = device_.Respond(at::EraseDone(), 'f');
  if (outcome != Device::Outcome::kGoOn) return;
  device_.GetFlash().EraseAll();
  pages_written_ = 0;
  if (device_.FirstOfTwoPasses()) {
    device_.FirstPassDone();
    device_.Note("first of two passes erased; waiting to be switched off and on");
    stage_ = Stage::kAwaitingPowerCycle;
  } else {
    stage_ = Stage::kErased;
  }
}

void Loader::OnDataByte(std::uint8_t byte) {
  frame_.bytes.push_back(byte);
  if (frame_.bytes.size() == kHeaderBytes) OnHeader();
  if (frame_.expected != 0 && frame_.bytes.size() == frame_.expected) {
    const unsigned count = frame_.bytes[0] << 8 | frame_.bytes[1];
    count == kPageCount ? OnPage() : OnClosing();
    frame_.Clear();
  }
}

void Loader::OnHeader() {
  const auto& b = frame_.bytes;
  const unsigned count = b[0] << 8 | b[1];
  const std::uint8_t bank = b[2];
  const unsigned offset = b[3] << 8 | b[4];
  if (count == kPageCount) {
    const std::uint32_t size = Flash::BankSize(bank);
    if (size == 0)
      return Refuse("page frame for bank " + Hex(bank) + ", which does not exist", true);
    if (offset % Flash::kPageBytes != 0 || offset + Flash::kPageBytes > size) {
      return Refuse("page frame for bank " + Hex(bank) + " offset " + Hex(offset, 4) +
                        ", not the start of a page of the bank",
                    true);
    }
  } else if (count == kClosingCount) {
    if (bank != 0xDF || offset != 0) {
      return Refuse("closing frame for bank " + Hex(bank) + " offset " + Hex(offset, 4) +
                        ", expected bank 0xDF offset 0x0000",
                    true);
    }
  } else {
    return Refuse("frame length " + Hex(count, 4) +
                      ": a page carries 0x0400 bytes, the "
                      "closing frame 0x0002",
                  true);
  }
  frame_.expected = kHeaderBytes + count;
}

void Loader::OnPage() {
  const std::uint8_t bank = frame_.bytes[2];
  const std::uint32_t offset = frame_.bytes[3] << 8 | frame_.bytes[4];
  const int page = static_cast<int>(offset / Flash::kPageBytes);
  if (!device_.GetFlash().PageErased(bank, offset)) {
    return Refuse("page " + std::to_string(page) + " of bank " + Hex(bank) +
                      " written again without an erase",
                  false);
  }
  stage_ = Stage::kWriting;
  std::vector<std::uint8_t> data(frame_.bytes.begin() + kHeaderBytes, frame_.bytes.end());
  device_.Schedule(device_.Time() + std::uint64_t{device_.GetTimings().page_write_ms} * 1000,
                   [this, bank, offset, page, data = std::move(data)] {
                     if (device_.Respond(at::Page(bank, page), 'f') == Device::Outcome::kPowerLost)
                       return;
                     device_.GetFlash().WritePage(bank, offset, data.data());
                     ++pages_written_;
                     stage_ = Stage::kDataMode;
                   });
}

void Loader::OnClosing() {
  const std::uint8_t* bank_df = PayloadBank(0xDF);
  const std::uint8_t first = frame_.bytes[5];
  const std::uint8_t second = frame_.bytes[6];
  if (bank_df == nullptr || first != bank_df[0] || second != bank_df[1]) {
    return Refuse("closing frame carries " + Hex(first) + " " + Hex(second) +
                      ", not the first two bytes of bank 0xDF",
                  false);
  }
  stage_ = Stage::kWriting;
  device_.Schedule(device_.Time() + std::uint64_t{device_.GetTimings().closing_ms} * 1000, [this] {
    if (device_.Respond(at::Closing(), 'f') == Device::Outcome::kPowerLost) return;
    stage_ = Stage::kClosed;
  });
}

}  // namespace sim
