#pragma once

#include <cstdint>
#include <deque>
#include <limits>

#include "simulator/line.h"

namespace sim {

inline constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// The serial line between the adapter and the device, one byte stream each way, every
// byte stamped with the time it has crossed the wire.
class Wire {
 public:
  struct HostByte {
    std::uint64_t arrives_us;  // at the device, its last bit received
    std::uint8_t value;
    LineSettings line;  // the adapter's settings when it was written
  };

  // Puts `count` bytes on the line towards the device, behind any still going out;
  // returns the time the last of them has arrived.
  std::uint64_t HostSend(std::uint64_t now_us, const std::uint8_t* data, std::uint32_t count,
                         const LineSettings& line);
  std::uint64_t NextHostArrival() const {
    return to_device_.empty() ? kNever : to_device_.front().arrives_us;
  }
  HostByte PopHostByte();
  // Bytes not yet at the device are lost (the adapter is gone).
  void DropHostBytes() { to_device_.clear(); }

  // The device sends one byte at `t_us` at `baud` (8N1), behind any still going out;
  // returns the time it reaches the adapter.
  std::uint64_t DeviceSend(std::uint64_t t_us, std::uint8_t value, std::uint32_t baud);

  // Hands every device byte that has reached the adapter by `now_us` to the adapter's
  // receive buffer, as a receiver set to `host_line` makes it out; the byte becomes
  // readable `latency_us` later.
  void Land(std::uint64_t now_us, const LineSettings& host_line, std::uint32_t latency_us);

  // The adapter's receive buffer.
  std::uint32_t Readable(std::uint64_t now_us) const;
  std::uint8_t PopReadable();
  // Discards every byte that has reached the adapter; bytes still on the wire stay.
  void PurgeReceived() { received_.clear(); }
  void DropAll();

 private:
  struct DeviceByte {
    std::uint64_t lands_us;
    std::uint8_t value;
    std::uint32_t baud;
  };
  struct Received {
    std::uint64_t readable_us;
    std::uint8_t value;
  };

  std::deque<HostByte> to_device_;
  std::uint64_t host_free_us_ = 0;
  std::deque<DeviceByte> to_host_;
  std::uint64_t device_free_us_ = 0;
  std::deque<Received> received_;
};

// What a receiver makes of a byte sent at another rate or framing: a framing error,
// read as 0x00 (never one of the device's reply bytes).
inline constexpr std::uint8_t kGarbledByte = 0x00;

}  // namespace sim
