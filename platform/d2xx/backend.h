#pragma once

#include <cstdint>

#include "platform/d2xx/d2xx.h"

// What a backend of the adapter library provides. A backend opens devices; each open
// device answers the per-handle calls. FT_Close deletes the device object.

struct FtDevice {
  virtual ~FtDevice() = default;
  virtual FtStatus SetBaudRate(std::uint32_t baud) = 0;
  virtual FtStatus SetDataCharacteristics(std::uint8_t word_length, std::uint8_t stop_bits,
                                          std::uint8_t parity) = 0;
  virtual FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) = 0;
  virtual FtStatus SetTimeouts(std::uint32_t read_ms, std::uint32_t write_ms) = 0;
  virtual FtStatus GetQueueStatus(std::uint32_t* rx_waiting) = 0;
  virtual FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) = 0;
  virtual FtStatus Purge(std::uint32_t mask) = 0;
  virtual FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) = 0;
  // Releases the device; called once, just before the object is deleted.
  virtual FtStatus Close() = 0;
};

namespace d2xx {

class Backend {
 public:
  virtual ~Backend() = default;
  // Opens the adapter whose description equals `description` exactly.
  virtual FtStatus OpenByDescription(const char* description, FtHandle* handle) = 0;
};

// Makes `backend` the one FT_OpenEx uses; nullptr means no adapter can be opened.
void UseBackend(Backend* backend);

}  // namespace d2xx
