#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The fuzzer's input, read front to back: how the device answers each write.
class Script {
 public:
  Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte; nullopt once the input is used up.
  std::optional<std::uint8_t> Next() {
    if (pos_ == size_) return std::nullopt;
    return data_[pos_++];
  }
  // The next byte, 0 once the input is used up.
  std::uint8_t NextOrZero() { return Next().value_or(0); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};
