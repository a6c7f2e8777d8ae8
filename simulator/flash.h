#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// The device's flash: bank 0xDF of 32 KiB and banks 0xFC to 0xFF of 64 KiB, written in
// pages of 1024 bytes. It keeps its contents without power.
class Flash {
 public:
  static constexpr std::uint32_t kPageBytes = 1024;
  static constexpr std::array<std::uint8_t, 5> kBanks = {0xDF, 0xFC, 0xFD, 0xFE, 0xFF};

  explicit Flash(std::uint8_t fill);

  // The bank's size, or 0 for a byte that names no bank.
  static std::uint32_t BankSize(std::uint8_t bank);

  void Fill(std::uint8_t value);
  void EraseAll() { Fill(0xFF); }
  bool PageErased(std::uint8_t bank, std::uint32_t offset) const;
  void WritePage(std::uint8_t bank, std::uint32_t offset, const std::uint8_t* data);
  // 0 outside the banks.
  std::uint8_t At(std::uint8_t bank, std::uint32_t offset) const;

  // Against the payload in force: every page with data holds it, every empty page is
  // still erased. Otherwise names the first byte that differs.
  std::optional<std::string> DifferenceFromPayload() const;

 private:
  std::vector<std::uint8_t>& Bank(std::uint8_t bank);
  const std::vector<std::uint8_t>& Bank(std::uint8_t bank) const;

  std::array<std::vector<std::uint8_t>, 5> banks_;
};

}  // namespace sim
