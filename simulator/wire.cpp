#include "simulator/wire.h"

#include <algorithm>

namespace sim {

std::uint64_t Wire::HostSend(std::uint64_t now_us, const std::uint8_t* data, std::uint32_t count,
                             const LineSettings& line) {
  const std::uint64_t start = std::max(now_us, host_free_us_);
  const std::uint32_t bits = BitsPerByte(line);
  for (std::uint32_t i = 0; i < count; ++i) {
    to_device_.push_back({start + WireTimeUs(i + 1, bits, line.baud), data[i], line});
  }
  if (count > 0) host_free_us_ = to_device_.back().arrives_us;
  return std::max(start, host_free_us_);
}

Wire::HostByte Wire::PopHostByte() {
  HostByte byte = to_device_.front();
  to_device_.pop_front();
  return byte;
}

std::uint64_t Wire::DeviceSend(std::uint64_t t_us, std::uint8_t value, std::uint32_t baud) {
  const std::uint64_t start = std::max(t_us, device_free_us_);
  device_free_us_ = start + WireTimeUs(1, 10, baud);
  to_host_.push_back({device_free_us_, value, baud});
  return device_free_us_;
}

void Wire::Land(std::uint64_t now_us, const LineSettings& host_line, std::uint32_t latency_us) {
  while (!to_host_.empty() && to_host_.front().lands_us <= now_us) {
    const DeviceByte& byte = to_host_.front();
    const bool clear = Understands(byte.baud, host_line);
    received_.push_back({byte.lands_us + latency_us, clear ? byte.value : kGarbledByte});
    to_host_.pop_front();
  }
}

std::uint32_t Wire::Readable(std::uint64_t now_us) const {
  std::uint32_t n = 0;
  for (const Received& byte : received_) {
    if (byte.readable_us > now_us) break;
    ++n;
  }
  return n;
}

std::uint8_t Wire::PopReadable() {
  const std::uint8_t value = received_.front().value;
  received_.pop_front();
  return value;
}

void Wire::DropAll() {
  to_device_.clear();
  to_host_.clear();
  received_.clear();
}

}  // namespace sim
