#include "simulator/flash.h"

#include <algorithm>
#include <cstdio>

#include "payload/firmware.h"

namespace sim {
namespace {

std::size_t IndexOf(std::uint8_t bank) {
  return static_cast<std::size_t>(std::find(Flash::kBanks.begin(), Flash::kBanks.end(), bank) -
                                  Flash::kBanks.begin());
}

}  // namespace

Flash::Flash(std::uint8_t fill) {
  for (std::size_t i = 0; i < kBanks.size(); ++i) banks_[i].resize(BankSize(kBanks[i]));
  Fill(fill);
}

std::uint32_t Flash::BankSize(std::uint8_t bank) {
  if (bank == 0xDF) return 0x8000;
  return IndexOf(bank) < kBanks.size() ? 0x10000 : 0;
}

void Flash::Fill(std::uint8_t value) {
  for (auto& bank : banks_) std::fill(bank.begin(), bank.end(), value);
}

std::vector<std::uint8_t>& Flash::Bank(std::uint8_t bank) { return banks_.at(IndexOf(bank)); }

const std::vector<std::uint8_t>& Flash::Bank(std::uint8_t bank) const {
  return banks_.at(IndexOf(bank));
}

bool Flash::PageErased(std::uint8_t bank, std::uint32_t offset) const {
  const auto& bytes = Bank(bank);
  return std::all_of(bytes.begin() + offset, bytes.begin() + offset + kPageBytes,
                     [](std::uint8_t b) { return b == 0xFF; });
}

void Flash::WritePage(std::uint8_t bank, std::uint32_t offset, const std::uint8_t* data) {
  std::copy(data, data + kPageBytes, Bank(bank).begin() + offset);
}

std::uint8_t Flash::At(std::uint8_t bank, std::uint32_t offset) const {
  if (offset >= BankSize(bank)) return 0;
  return Bank(bank)[offset];
}

std::optional<std::string> Flash::DifferenceFromPayload() const {
  for (std::size_t b = 0; b < kBankCount; ++b) {
    const ::BankImage& image = BankImages[b];
    if (BankSize(image.bank) != image.size) {
      return "payload bank " + std::to_string(image.bank) + " does not fit the device";
    }
    const auto& bytes = Bank(image.bank);
    for (std::uint32_t page = 0; page < image.size; page += kPageBytes) {
      const bool data = PageHasData(image.data + page);
      for (std::uint32_t i = page; i < page + kPageBytes; ++i) {
        const std::uint8_t expected = data ? image.data[i] : 0xFF;
        if (bytes[i] == expected) continue;
        char text[160];
        std::snprintf(text, sizeof text,
                      "bank 0x%02X offset 0x%04X (page %u, %s): expected 0x%02X, found 0x%02X",
                      image.bank, static_cast<unsigned>(i),
                      static_cast<unsigned>(page / kPageBytes), data ? "with data" : "empty",
                      expected, bytes[i]);
        return std::string(text);
      }
    }
  }
  return std::nullopt;
}

}  // namespace sim
