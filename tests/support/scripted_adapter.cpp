#include "tests/support/scripted_adapter.h"

#include <algorithm>

namespace {

class ScriptedDevice final : public FtDevice {
 public:
  explicit ScriptedDevice(ScriptedAdapter::Log& log) : log_(log) {}

  FtStatus SetBaudRate(std::uint32_t baud) override {
    return Record("SetBaudRate " + std::to_string(baud));
  }
  FtStatus SetDataCharacteristics(std::uint8_t word, std::uint8_t stop,
                                  std::uint8_t parity) override {
    return Record("SetDataCharacteristics " + std::to_string(word) + " " + std::to_string(stop) +
                  " " + std::to_string(parity));
  }
  FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
    return Record("SetFlowControl " + std::to_string(flow) + " " + std::to_string(xon) + " " +
                  std::to_string(xoff));
  }
  FtStatus SetTimeouts(std::uint32_t read_ms, std::uint32_t write_ms) override {
    return Record("SetTimeouts " + std::to_string(read_ms) + " " + std::to_string(write_ms));
  }
  FtStatus GetQueueStatus(std::uint32_t* waiting) override {
    *waiting = static_cast<std::uint32_t>(log_.rx.size());
    return kFtOk;
  }
  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    log_.calls.push_back("Read " + std::to_string(count));
    const auto n = std::min<std::size_t>(count, log_.rx.size());
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = log_.rx.front();
      log_.rx.pop_front();
    }
    *read = static_cast<std::uint32_t>(n);
    return kFtOk;
  }
  FtStatus Purge(std::uint32_t mask) override {
    log_.calls.push_back("Purge " + std::to_string(mask));
    if (mask & kFtPurgeRx) log_.rx.clear();
    return kFtOk;
  }
  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    log_.calls.push_back("Write " + std::to_string(length));
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    log_.writes.emplace_back(bytes, bytes + length);
    FtStatus status = kFtOk;
    if (!log_.write_statuses.empty()) {
      status = log_.write_statuses.front();
      log_.write_statuses.pop_front();
    }
    *written = status == kFtOk ? length : 0;
    return status;
  }
  FtStatus Close() override {
    ++log_.closes;
    log_.calls.push_back("Close");
    return kFtOk;
  }

 private:
  FtStatus Record(std::string call) {
    log_.calls.push_back(std::move(call));
    return log_.settings_status;
  }

  ScriptedAdapter::Log& log_;
};

}  // namespace

FtStatus ScriptedAdapter::OpenByDescription(const char* description, FtHandle* handle) {
  log.opened_with = description;
  if (!present) return kFtDeviceNotFound;
  ++log.opens;
  *handle = new ScriptedDevice(log);
  return kFtOk;
}
