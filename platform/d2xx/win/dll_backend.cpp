#include "platform/d2xx/win/dll_backend.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace d2xx {
namespace {

// The library's own types: its handle is a pointer, its status and counts 32-bit
// unsigned. WINAPI is what the library uses on 32-bit Windows; on x86-64 it changes
// nothing.
using RawHandle = void*;
using RawStatus = std::uint32_t;

using OpenExFn = RawStatus(WINAPI*)(void* arg, std::uint32_t flags, RawHandle* handle);
using SetBaudRateFn = RawStatus(WINAPI*)(RawHandle, std::uint32_t baud);
using SetDataCharacteristicsFn = RawStatus(WINAPI*)(RawHandle, std::uint8_t word_length,
                                                    std::uint8_t stop_bits, std::uint8_t parity);
using SetFlowControlFn = RawStatus(WINAPI*)(RawHandle, std::uint16_t flow, std::uint8_t xon,
                                            std::uint8_t xoff);
using SetTimeoutsFn = RawStatus(WINAPI*)(RawHandle, std::uint32_t read_ms, std::uint32_t write_ms);
using GetQueueStatusFn = RawStatus(WINAPI*)(RawHandle, std::uint32_t* rx_waiting);
using ReadFn = RawStatus(WINAPI*)(RawHandle, void* buffer, std::uint32_t count,
                                  std::uint32_t* read);
using PurgeFn = RawStatus(WINAPI*)(RawHandle, std::uint32_t mask);
using WriteFn = RawStatus(WINAPI*)(RawHandle, void* data, std::uint32_t length,
                                   std::uint32_t* written);
using CloseFn = RawStatus(WINAPI*)(RawHandle);

}  // namespace

struct DllLibrary {
  HMODULE module = nullptr;
  OpenExFn open_ex = nullptr;
  SetBaudRateFn set_baud_rate = nullptr;
  SetDataCharacteristicsFn set_data_characteristics = nullptr;
  SetFlowControlFn set_flow_control = nullptr;
  SetTimeoutsFn set_timeouts = nullptr;
  GetQueueStatusFn get_queue_status = nullptr;
  ReadFn read = nullptr;
  PurgeFn purge = nullptr;
  WriteFn write = nullptr;
  CloseFn close = nullptr;
  bool complete = false;

  template <class Fn>
  bool Find(Fn& fn, const char* name) {
    // Through void (*)(): the one cast between function types the compiler does not
    // question.
    fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    return fn != nullptr;
  }
};

namespace {

// One adapter opened through the library; FT_Close deletes it. It keeps its own copy of
// the entry points, so it may outlive the backend.
class DllDevice final : public FtDevice {
 public:
  DllDevice(const DllLibrary& library, RawHandle handle) : library_(library), handle_(handle) {}

  FtStatus SetBaudRate(std::uint32_t baud) override {
    return library_.set_baud_rate(handle_, baud);
  }
  FtStatus SetDataCharacteristics(std::uint8_t word_length, std::uint8_t stop_bits,
                                  std::uint8_t parity) override {
    return library_.set_data_characteristics(handle_, word_length, stop_bits, parity);
  }
  FtStatus SetFlowControl(std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff) override {
    return library_.set_flow_control(handle_, flow, xon, xoff);
  }
  FtStatus SetTimeouts(std::uint32_t read_ms, std::uint32_t write_ms) override {
    return library_.set_timeouts(handle_, read_ms, write_ms);
  }
  FtStatus GetQueueStatus(std::uint32_t* rx_waiting) override {
    return library_.get_queue_status(handle_, rx_waiting);
  }
  FtStatus Read(void* buffer, std::uint32_t count, std::uint32_t* read) override {
    return library_.read(handle_, buffer, count, read);
  }
  FtStatus Purge(std::uint32_t mask) override { return library_.purge(handle_, mask); }
  // The library takes a non-const pointer but only reads the data.
  FtStatus Write(const void* data, std::uint32_t length, std::uint32_t* written) override {
    return library_.write(handle_, const_cast<void*>(data), length, written);
  }
  FtStatus Close() override { return library_.close(handle_); }

 private:
  DllLibrary library_;
  RawHandle handle_;
};

}  // namespace

DllBackend::DllBackend(const char* library_name) : library_(std::make_unique<DllLibrary>()) {
  DllLibrary& lib = *library_;
  lib.module = LoadLibraryA(library_name);
  if (lib.module == nullptr) return;
  lib.complete = lib.Find(lib.open_ex, "FT_OpenEx") &&
                 lib.Find(lib.set_baud_rate, "FT_SetBaudRate") &&
                 lib.Find(lib.set_data_characteristics, "FT_SetDataCharacteristics") &&
                 lib.Find(lib.set_flow_control, "FT_SetFlowControl") &&
                 lib.Find(lib.set_timeouts, "FT_SetTimeouts") &&
                 lib.Find(lib.get_queue_status, "FT_GetQueueStatus") &&
                 lib.Find(lib.read, "FT_Read") && lib.Find(lib.purge, "FT_Purge") &&
                 lib.Find(lib.write, "FT_Write") && lib.Find(lib.close, "FT_Close");
}

// The library stays loaded: a device still open would otherwise call into nothing, and
// the end of the process releases it.
DllBackend::~DllBackend() = default;

bool DllBackend::Loaded() const { return library_->complete; }

FtStatus DllBackend::OpenByDescription(const char* description, FtHandle* handle) {
  if (!Loaded()) return kFtDeviceNotFound;
  RawHandle raw = nullptr;
  const RawStatus status =
      library_->open_ex(const_cast<char*>(description), kFtOpenByDescription, &raw);
  if (status != kFtOk) return status;
  *handle = new DllDevice(*library_, raw);
  return kFtOk;
}

}  // namespace d2xx
