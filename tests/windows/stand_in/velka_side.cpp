#include "tests/windows/stand_in/velka_side.h"

#include <mutex>
#include <string>

#include "platform/d2xx/d2xx.h"
#include "platform/ticks/win/windows_clock.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"

namespace stand_in {
namespace {

constexpr std::uint64_t kPowerOnDelayUs = 1500 * 1000;

struct Bench {
  Bench() { ticks::Use(clock); }
  ticks::WindowsClock clock;
  sim::Velka velka{clock};
  sim::SimBackend adapter{velka};
  std::uint64_t first_open_us = 0;
  bool powered = false;
  std::string verdict;
};

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// Every call comes here first: the device is switched on once its moment has come.
Bench& Use() {
  static Bench bench;
  if (!bench.powered && bench.first_open_us != 0 &&
      bench.clock.NowUs() >= bench.first_open_us + kPowerOnDelayUs) {
    bench.velka.SetPower(true);
    bench.powered = true;
  }
  return bench;
}

FtHandle Of(void* handle) { return static_cast<FtHandle>(handle); }

}  // namespace

std::uint32_t OpenEx(const void* arg, std::uint32_t flags, void** handle) {
  std::scoped_lock hold(Lock());
  Bench& bench = Use();
  FtHandle opened = nullptr;
  const FtStatus status = FT_OpenEx(arg, flags, &opened);
  if (status == kFtOk && bench.first_open_us == 0) bench.first_open_us = bench.clock.NowUs();
  *handle = opened;
  return status;
}

std::uint32_t SetBaudRate(void* handle, std::uint32_t baud) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_SetBaudRate(Of(handle), baud);
}

std::uint32_t SetDataCharacteristics(void* handle, std::uint8_t word_length, std::uint8_t stop_bits,
                                     std::uint8_t parity) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_SetDataCharacteristics(Of(handle), word_length, stop_bits, parity);
}

std::uint32_t SetFlowControl(void* handle, std::uint16_t flow, std::uint8_t xon,
                             std::uint8_t xoff) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_SetFlowControl(Of(handle), flow, xon, xoff);
}

std::uint32_t SetTimeouts(void* handle, std::uint32_t read_ms, std::uint32_t write_ms) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_SetTimeouts(Of(handle), read_ms, write_ms);
}

std::uint32_t GetQueueStatus(void* handle, std::uint32_t* rx_waiting) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_GetQueueStatus(Of(handle), rx_waiting);
}

std::uint32_t Read(void* handle, void* buffer, std::uint32_t count, std::uint32_t* read) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_Read(Of(handle), buffer, count, read);
}

std::uint32_t Purge(void* handle, std::uint32_t mask) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_Purge(Of(handle), mask);
}

std::uint32_t Write(void* handle, const void* data, std::uint32_t length, std::uint32_t* written) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_Write(Of(handle), data, length, written);
}

std::uint32_t Close(void* handle) {
  std::scoped_lock hold(Lock());
  Use();
  return FT_Close(Of(handle));
}

const char* Verdict() {
  std::scoped_lock hold(Lock());
  Bench& bench = Use();
  const auto difference = bench.velka.FlashDifference();
  bench.verdict = difference ? "flash differs: " + *difference : "flash equals firmware";
  bench.verdict += ", violations: " + std::to_string(bench.velka.Violations().size());
  return bench.verdict.c_str();
}

}  // namespace stand_in
