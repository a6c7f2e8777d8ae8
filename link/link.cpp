#include "link/link.h"

#include <cstring>

#include "platform/ticks/ticks.h"

FtHandle AdapterHandle = nullptr;

FtHandle OpenAdapter() {
  FtHandle handle = nullptr;
  if (FT_OpenEx(kAdapterDescription, kFtOpenByDescription, &handle) != kFtOk) return nullptr;
  return handle;
}

void ConfigureLine(FtHandle handle, std::uint32_t baud, std::uint8_t stop_bits) {
  // A wrongly set line shows up later as missing replies, which the protocol handles.
  FT_SetBaudRate(handle, baud);
  FT_SetDataCharacteristics(handle, kFtBits8, stop_bits, kFtParityNone);
  FT_SetFlowControl(handle, kFtFlowNone, 0, 0);
  FT_SetTimeouts(handle, 0, kWriteTimeoutMs);
}

bool ConnectAdapter() {
  AdapterHandle = OpenAdapter();
  if (AdapterHandle == nullptr) return false;
  ConfigureLine(AdapterHandle, 19200, kFtStopBits2);
  return true;
}

void CloseAdapter() {
  if (AdapterHandle == nullptr) return;
  FT_Close(AdapterHandle);
  AdapterHandle = nullptr;
}

void ReadAvailable(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& n) {
  std::uint32_t waiting = 0;
  FT_GetQueueStatus(AdapterHandle, &waiting);
  if (waiting == 0) {
    n = 0;
    return;
  }
  std::uint32_t read = 0;
  FT_Read(AdapterHandle, buffer, waiting < count ? waiting : count, &read);
  n = static_cast<std::uint16_t>(read);
}

void SendFrame(const std::uint8_t* buffer, std::uint16_t length) {
  std::uint32_t waiting = 0;
  FT_GetQueueStatus(AdapterHandle, &waiting);
  if (waiting > 0) FT_Purge(AdapterHandle, kFtPurgeRx);
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    std::uint32_t written = 0;
    if (FT_Write(AdapterHandle, buffer, length, &written) == kFtOk) return;
  }
}

void SendText(const char* text) {
  SendFrame(reinterpret_cast<const std::uint8_t*>(text),
            static_cast<std::uint16_t>(std::strlen(text)));
}

void WaitMs(std::uint16_t ms) {
  const std::uint32_t start = GetTickCount();
  while (GetTickCount() - start < ms) ticks::Current().Spin();
}

bool ReplyContains(const std::uint8_t* buffer, std::uint8_t value, std::uint8_t n) {
  for (std::uint8_t i = 0; i < n; ++i) {
    if (buffer[i] == value) return true;
  }
  return false;
}
