#pragma once

#include <cstddef>
#include <cstdint>

// Firmware release 4.4 as the program carries it: the loader that runs in the
// device's RAM and the five flash bank images, built in at compile time.

inline constexpr std::size_t kLoaderSize = 3072;
inline constexpr std::size_t kPageSize = 1024;
inline constexpr std::size_t kBankCount = 5;

struct BankImage {
  std::uint8_t bank;  // the bank byte that addresses it on the device
  const std::uint8_t* data;
  std::uint32_t size;  // 32 KiB for bank 0xDF, 64 KiB for the others
};

// The payload in force. The program never changes these; a test may point them at
// a payload of its own.
extern const std::uint8_t* LoaderImage;  // kLoaderSize bytes
extern const BankImage* BankImages;      // kBankCount banks, in programming order

// The payload built into the program.
const std::uint8_t* BuiltInLoaderImage();
const BankImage* BuiltInBankImages();

// Whether the kPageSize bytes from `page` hold anything but erased flash (0xFF).
bool PageHasData(const std::uint8_t* page);
