#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "payload/firmware.h"

namespace {

std::vector<int> PagesWithData(const BankImage& image) {
  std::vector<int> pages;
  for (std::uint32_t offset = 0; offset < image.size; offset += kPageSize) {
    if (PageHasData(image.data + offset)) pages.push_back(static_cast<int>(offset / kPageSize));
  }
  return pages;
}

TEST(PageHasData, OnlyAllErasedBytesAreEmpty) {
  std::array<std::uint8_t, kPageSize> page;
  page.fill(0xFF);
  EXPECT_FALSE(PageHasData(page.data()));
  page.back() = 0xFE;
  EXPECT_TRUE(PageHasData(page.data()));
  page.fill(0x00);
  EXPECT_TRUE(PageHasData(page.data()));
}

TEST(BuiltInPayload, HasTheShapeOfRelease44) {
  const BankImage* banks = BuiltInBankImages();
  const std::uint8_t expected_banks[] = {0xDF, 0xFC, 0xFD, 0xFE, 0xFF};
  for (std::size_t b = 0; b < kBankCount; ++b) {
    EXPECT_EQ(banks[b].bank, expected_banks[b]);
    EXPECT_EQ(banks[b].size, b == 0 ? 0x8000u : 0x10000u);
  }

  std::vector<int> df = {0};
  for (int p = 8; p <= 21; ++p) df.push_back(p);
  for (int p = 24; p <= 31; ++p) df.push_back(p);
  EXPECT_EQ(PagesWithData(banks[0]), df);
  EXPECT_EQ(PagesWithData(banks[1]).size(), 64u);
  EXPECT_TRUE(PagesWithData(banks[2]).empty());
  EXPECT_TRUE(PagesWithData(banks[3]).empty());
  EXPECT_EQ(PagesWithData(banks[4]), std::vector<int>{63});

  for (std::size_t i = 18; i < kPageSize; ++i) ASSERT_EQ(banks[0].data[i], 0xFF) << i;
  for (std::uint32_t i = 26 * kPageSize; i < 32 * kPageSize; ++i) ASSERT_EQ(banks[0].data[i], 0);

  int bank_ff_data = 0;
  for (std::uint32_t i = 0; i < banks[4].size; ++i) {
    if (banks[4].data[i] == 0xFF) continue;
    ++bank_ff_data;
    EXPECT_GE(i, 0xFE88u);
    EXPECT_LE(i, 0xFFDEu);
  }
  EXPECT_EQ(bank_ff_data, 295);

  const std::uint8_t* loader = BuiltInLoaderImage();
  EXPECT_NE(loader[kLoaderSize - 717], 0xFF);
  for (std::size_t i = kLoaderSize - 716; i < kLoaderSize; ++i) ASSERT_EQ(loader[i], 0xFF);
}

}  // namespace
