#pragma once

#include <cstdint>

// Writes every page with data of every bank image through the running loader, then
// the closing frame. True when all were acknowledged; false at the first that was not.
bool ProgramBanks();

// How long the loader is given to acknowledge a page of one bank.
struct BankTiming {
  std::uint8_t bank;
  std::uint16_t polls;  // after the immediate read
  std::uint16_t poll_wait_ms;
  std::uint16_t after_page_ms;  // after every page, sent or skipped
};

inline constexpr BankTiming kBankTimings[] = {
    {0xDF, 100, 1, 0}, {0xFC, 100, 1, 50}, {0xFD, 10, 10, 0}, {0xFE, 10, 10, 0}, {0xFF, 100, 1, 0},
};
