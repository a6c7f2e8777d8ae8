#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "payload/firmware.h"
#include "platform/d2xx/d2xx.h"
#include "platform/ticks/virtual_clock.h"
#include "simulator/sim_backend.h"
#include "simulator/velka.h"

using Bytes = std::vector<std::uint8_t>;

// The frames as they go on the wire, built here independently of the model.
namespace frames {

inline const Bytes kSync = {0x00, 0x55, 0x66, 0x77, 0x88};
inline const Bytes kCalibrationOff = {0x00, 0x55, 0x87, 0x00, 0x78};
inline const Bytes kProbe = {0x90, 0x00, 0x00, 0xFF, 0x01, 0x6E};
inline const Bytes kCommand0C0 = {0x0C, 0x00, 0xF3};
inline const Bytes kCommand0C1 = {0x0C, 0x01, 0xF2};
inline const Bytes kStart = {0x9F, 0x40, 0x52, 0x00, 0xCD};
inline const Bytes kErase = {'E', '\r'};
inline const Bytes kDataMode = {'D', '\r'};

inline std::uint8_t Check(unsigned sum) {
  unsigned f = (sum & 0xFF) + (sum >> 8);
  f += f >> 8;
  return static_cast<std::uint8_t>((0xFF - f) & 0xFF);
}

// Chunk k of `image` for `address` (by default the chunk's own address).
inline Bytes Chunk(int k, const std::uint8_t* image = nullptr, int address = -1) {
  if (image == nullptr) image = LoaderImage;
  if (address < 0) address = 0x5240 + 256 * k;
  Bytes frame = {0x12, static_cast<std::uint8_t>(address & 0xFF),
                 static_cast<std::uint8_t>(address >> 8), 0x00, 0x00};
  frame.push_back(Check(frame[0] + frame[1] + frame[2] + frame[3] + frame[4]));
  unsigned sum = 0xFF;
  for (int i = 0; i < 256; ++i) {
    frame.push_back(image[256 * k + i]);
    sum += image[256 * k + i];
  }
  frame.push_back(Check(sum));
  return frame;
}

inline Bytes PageHeader(std::uint8_t bank, unsigned offset) {
  return {0x04, 0x00, bank, static_cast<std::uint8_t>(offset >> 8),
          static_cast<std::uint8_t>(offset & 0xFF)};
}

inline const BankImage& Bank(std::uint8_t bank) {
  for (std::size_t i = 0; i < kBankCount; ++i) {
    if (BankImages[i].bank == bank) return BankImages[i];
  }
  return BankImages[0];
}

inline Bytes PageData(std::uint8_t bank, unsigned offset) {
  const std::uint8_t* data = Bank(bank).data + offset;
  return Bytes(data, data + kPageSize);
}

inline Bytes ClosingHeader() { return {0x00, 0x02, 0xDF, 0x00, 0x00}; }
inline Bytes ClosingData() { return {Bank(0xDF).data[0], Bank(0xDF).data[1]}; }

}  // namespace frames

// A simulated device and adapter on virtual time, driven through the adapter library's
// own calls the way the updater drives them. On failure the trace is printed.
class SimTest : public ::testing::Test {
 protected:
  SimTest() {
    ticks::Use(clock);
    Make({});
  }
  ~SimTest() override {
    if (handle != nullptr) FT_Close(handle);
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "Trace of the simulated line:\n" << velka->TraceText();
  }

  void Make(const sim::Scenario& scenario, const sim::Timings& timings = {}) {
    if (handle != nullptr) FT_Close(handle);
    handle = nullptr;
    backend.reset();
    velka = std::make_unique<sim::Velka>(clock, scenario, timings);
    backend = std::make_unique<sim::SimBackend>(*velka);
  }

  void Open() {
    ASSERT_EQ(FT_OpenEx("TALVEK Update Adapter", kFtOpenByDescription, &handle), kFtOk);
    Line(19200, kFtStopBits2);
    ASSERT_EQ(FT_SetFlowControl(handle, kFtFlowNone, 0, 0), kFtOk);
    ASSERT_EQ(FT_SetTimeouts(handle, 0, 5000), kFtOk);
  }
  void Line(std::uint32_t baud, std::uint8_t stop_bits) {
    ASSERT_EQ(FT_SetBaudRate(handle, baud), kFtOk);
    ASSERT_EQ(FT_SetDataCharacteristics(handle, kFtBits8, stop_bits, kFtParityNone), kFtOk);
  }
  // Like the updater: stale received bytes are purged, then the bytes are written.
  void Send(const Bytes& bytes) {
    std::uint32_t waiting = 0;
    FT_GetQueueStatus(handle, &waiting);
    if (waiting > 0) FT_Purge(handle, kFtPurgeRx);
    std::uint32_t written = 0;
    EXPECT_EQ(FT_Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written),
              kFtOk);
    EXPECT_EQ(written, bytes.size());
  }
  void Wait(std::uint32_t ms) { clock.Pass(std::uint64_t{ms} * 1000); }
  Bytes Read() {
    std::uint32_t waiting = 0;
    FT_GetQueueStatus(handle, &waiting);
    Bytes bytes(waiting);
    std::uint32_t read = 0;
    if (waiting > 0) FT_Read(handle, bytes.data(), waiting, &read);
    bytes.resize(read);
    return bytes;
  }
  Bytes Exchange(const Bytes& frame, std::uint32_t wait_ms = 50) {
    Send(frame);
    Wait(wait_ms);
    return Read();
  }
  std::vector<std::string> ViolationTexts() {
    std::vector<std::string> texts;
    for (const auto& v : velka->Violations()) texts.push_back(v.text);
    return texts;
  }

  // The whole boot-ROM phase up to the running loader, at 115200 baud afterwards.
  void Handshake() {
    velka->SetPower(true);
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(Exchange(frames::kSync), Bytes{'F'});
    Line(19200, kFtStopBits1);
    ASSERT_EQ(Exchange(frames::kCalibrationOff), Bytes{'i'});
    const Bytes probe = Exchange(frames::kProbe);
    ASSERT_EQ(probe.size(), 1u);
    if (probe[0] == 0x96) {
      ASSERT_EQ(Exchange(frames::kCommand0C0), Bytes{'i'});
      ASSERT_EQ(Exchange(frames::kCommand0C1), Bytes{'i'});
    } else {
      ASSERT_EQ(probe, Bytes{'i'});
    }
  }
  void Download() {
    for (int k = 0; k < 12; ++k) ASSERT_EQ(Exchange(frames::Chunk(k), 100), Bytes{'i'}) << k;
  }
  void StartLoader() {
    ASSERT_EQ(Exchange(frames::kStart), Bytes{'i'});
    Line(115200, kFtStopBits1);
  }
  void Erase() {
    ASSERT_EQ(Exchange(frames::kErase), Bytes{'e'});
    Wait(2000);
    ASSERT_EQ(Read(), Bytes{'f'});
  }
  void ToDataMode() {
    ASSERT_NO_FATAL_FAILURE(Handshake());
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(StartLoader());
    ASSERT_NO_FATAL_FAILURE(Erase());
    ASSERT_EQ(Exchange(frames::kDataMode), Bytes{'d'});
  }
  // A page frame as two writes; the reply read 10 ms after the data.
  Bytes WritePage(std::uint8_t bank, unsigned offset) {
    Send(frames::PageHeader(bank, offset));
    return Exchange(frames::PageData(bank, offset), 10);
  }
  // Every page with data of the payload, except `skip_bank`'s page at `skip_offset`.
  void ProgramAll(int skip_bank = -1, unsigned skip_offset = 0) {
    for (std::size_t b = 0; b < kBankCount; ++b) {
      const BankImage& image = BankImages[b];
      for (unsigned offset = 0; offset < image.size; offset += kPageSize) {
        if (!PageHasData(image.data + offset)) continue;
        if (image.bank == skip_bank && offset == skip_offset) continue;
        ASSERT_EQ(WritePage(image.bank, offset), Bytes{'f'}) << int{image.bank} << " " << offset;
      }
    }
    Send(frames::ClosingHeader());
    ASSERT_EQ(Exchange(frames::ClosingData()), Bytes{'f'});
  }

  ticks::VirtualClock clock;
  std::unique_ptr<sim::Velka> velka;
  std::unique_ptr<sim::SimBackend> backend;
  FtHandle handle = nullptr;
};
