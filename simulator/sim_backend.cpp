#include "simulator/sim_backend.h"

#include <cstdio>
#include <memory>
#include <string>

#include "simulator/device.h"

namespace sim {
namespace {

constexpr std::uint32_t kMinBaud = 300;
constexpr std::uint32_t kMaxBaud = 3'000'000;
constexpr std::uint16_t kFlowXonXoff = 0x0400;
constexpr std::uint16_t kFlowRtsCts = 0x0100;
constexpr std::uint16_t kFlowDtrDsr = 0x0200;

// One open handle of the simulated adapter. It turns dead when the adapter is pulled out
// or the model goes away; then every call fails with an I/O error.
class SimHandle final : public FtDevice {
 public:
  SimHandle(std::weak_ptr<Device*> device, ticks::Clock& clock, std::uint64_t session)
      : device_(std::move(device)), clock_(clock), session_(session) {}

  FtStatus SetBaudRate(std::uint32_t baud) override {
    Device* d = Live("FT_SetBaudRate " + std::to_string(baud));
    if (d == nullptr) return kFtIoError;
    if (baud < kMinBaud || baud > kMaxBaud) return kFtInvalidParameter;
    d->HostLine().baud = baud;
    return kFtOk;
  }

  FtStatus SetDataCharacteristics(std::uint8_t word_length, std::uint8_t stop_bits,
                                  std::uint8_t parity) override {
    Device* d = Live("FT_SetDataCharacteristics " + std::to_string(word_length) + " " +
                     std::to_string(stop_bits) + " " + std::to_string(parity));
    if (d == nullptr) return kFtIoError;
    if ((word_length != 7 && word_length != 8) ||
        (stop_bits != kFtStopBits1 && stop_bits != kFtStopBits2) || parity > 4) {
      return kFtInvalidParameter;
    }
    LineSettings& line = d->HostLine();
    line.word_length = word_length;
    line.stop_bits = stop_bits == kFtStopBits2 ? 2 : 1;
    line.parity = parity;
    return kFtOk;
  }

  FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
    Device* d = Live("FT_SetFlowControl " + std::to_string(flow) + " " + std::to_string(xon) + " " +
                     std::to_string(xoff));
    if (d == nullptr) return kFtIoError;
    if (flow != kFtFlowNone && flow != kFlowRtsCts && flow != kFlowDtrDsr && flow != kFlowXonXoff) {
      return kFtInvalidParameter;
    }
    d->HostFlow() = flow;
    return kFtOk;
  }

  FtStatus SetTimeouts(std::uint32_t read_ms, std::uint32_t write_ms) override {
    Device* d = Live("FT_SetTimeouts " + std::to_string(read_ms) + " " + std::to_string(write_ms));
    if (d == nullptr) return kFtIoError;
    write_timeout_ms_ = write_ms;
    return kFtOk;
  }

  FtStatus GetQueueStatus(std::uint32_t* rx_waiting) override {
    *rx_waiting = 0;
    Device* d = Live("");
    if (d == nullptr) {
      Call("FT_GetQueueStatus -> I/O error");
      return kFtIoError;
    }
    *rx_waiting = d->HostReadable();
    Call("FT_GetQueueStatus -> " + std::to_string(*rx_waiting));
    return kFtOk;
  }

  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    *read = 0;
    Device* d = Live("");
    if (d == nullptr) {
      Call("FT_Read " + std::to_string(count) + " -> I/O error");
      return kFtIoError;
    }
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    *read = d->HostRead(bytes, count);
    std::string text = "FT_Read " + std::to_string(count) + " -> " + std::to_string(*read);
    for (std::uint32_t i = 0; i < *read && i < 16; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
      text += hex;
    }
    Call(text);
    return kFtOk;
  }

  FtStatus Purge(std::uint32_t mask) override {
    Device* d = Live("FT_Purge " + std::to_string(mask));
    if (d == nullptr) return kFtIoError;
    if (mask > 3) return kFtInvalidParameter;
    // Writes leave the adapter at once, so there is never anything to purge on the
    // sending side.
    if (mask & kFtPurgeRx) d->HostPurge();
    return kFtOk;
  }

  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    *written = 0;
    Device* d = Live("FT_Write " + std::to_string(length));
    if (d == nullptr) {
      Call("  -> I/O error");
      return kFtIoError;
    }
    const std::uint16_t flow = d->HostFlow();
    if (flow == kFlowRtsCts || flow == kFlowDtrDsr) {
      // The device never raises the handshake line the adapter waits for.
      Call("  -> held by flow control until the write time-out");
      clock_.Pass(std::uint64_t{write_timeout_ms_} * 1000);
      return kFtOk;
    }
    clock_.Pass(d->HostWrite(static_cast<const std::uint8_t*>(data), length));
    *written = length;
    return kFtOk;
  }

  FtStatus Close() override {
    if (auto anchor = device_.lock()) (*anchor)->Close(session_);
    return kFtOk;
  }

 private:
  // The model, if this handle still reaches it; records the call when `call` is given.
  Device* Live(const std::string& call) {
    auto anchor = device_.lock();
    if (!anchor) return nullptr;
    Device* d = *anchor;
    d->Advance();
    if (!call.empty()) d->TraceCall(call);
    return d->Alive(session_) ? d : nullptr;
  }
  void Call(const std::string& text) {
    if (auto anchor = device_.lock()) (*anchor)->TraceCall(text);
  }

  std::weak_ptr<Device*> device_;
  ticks::Clock& clock_;
  std::uint64_t session_;
  std::uint32_t write_timeout_ms_ = 0;
};

}  // namespace

SimBackend::SimBackend(Velka& velka) : velka_(velka) { d2xx::UseBackend(this); }

SimBackend::~SimBackend() { d2xx::UseBackend(nullptr); }

FtStatus SimBackend::OpenByDescription(const char* description, FtHandle* handle) {
  std::uint64_t session = 0;
  const FtStatus status = velka_.device_->Open(description, &session);
  if (status != kFtOk) {
    velka_.device_->TraceCall("  -> status " + std::to_string(status));
    return status;
  }
  *handle = new SimHandle(velka_.anchor_, velka_.device_->GetClock(), session);
  return kFtOk;
}

}  // namespace sim
