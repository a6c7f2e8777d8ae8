#include "platform/d2xx/d2xx.h"

#include "platform/d2xx/backend.h"

namespace d2xx {
namespace {

Backend* backend = nullptr;

}  // namespace

void UseBackend(Backend* chosen) { backend = chosen; }

}  // namespace d2xx

FtStatus FT_OpenEx(const void* arg, std::uint32_t flags, FtHandle* handle) {
  if (handle == nullptr || arg == nullptr || flags != kFtOpenByDescription) {
    return kFtInvalidParameter;
  }
  *handle = nullptr;
  if (d2xx::backend == nullptr) return kFtDeviceNotFound;
  return d2xx::backend->OpenByDescription(static_cast<const char*>(arg), handle);
}

FtStatus FT_SetBaudRate(FtHandle handle, std::uint32_t baud) {
  return handle ? handle->SetBaudRate(baud) : kFtInvalidHandle;
}

FtStatus FT_SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                   std::uint8_t stop_bits, std::uint8_t parity) {
  return handle ? handle->SetDataCharacteristics(word_length, stop_bits, parity) : kFtInvalidHandle;
}

FtStatus FT_SetFlowControl(FtHandle handle, std::uint16_t flow, std::uint8_t xon,
                           std::uint8_t xoff) {
  return handle ? handle->SetFlowControl(flow, xon, xoff) : kFtInvalidHandle;
}

FtStatus FT_SetTimeouts(FtHandle handle, std::uint32_t read_ms, std::uint32_t write_ms) {
  return handle ? handle->SetTimeouts(read_ms, write_ms) : kFtInvalidHandle;
}

FtStatus FT_GetQueueStatus(FtHandle handle, std::uint32_t* rx_waiting) {
  if (handle == nullptr) return kFtInvalidHandle;
  if (rx_waiting == nullptr) return kFtInvalidParameter;
  return handle->GetQueueStatus(rx_waiting);
}

FtStatus FT_Read(FtHandle handle, void* buffer, std::uint32_t count, std::uint32_t* read) {
  if (handle == nullptr) return kFtInvalidHandle;
  if (read == nullptr || (buffer == nullptr && count > 0)) return kFtInvalidParameter;
  return handle->Read(buffer, count, read);
}

FtStatus FT_Purge(FtHandle handle, std::uint32_t mask) {
  return handle ? handle->Purge(mask) : kFtInvalidHandle;
}

FtStatus FT_Write(FtHandle handle, const void* data, std::uint32_t length, std::uint32_t* written) {
  if (handle == nullptr) return kFtInvalidHandle;
  if (written == nullptr || (data == nullptr && length > 0)) return kFtInvalidParameter;
  return handle->Write(data, length, written);
}

FtStatus FT_Close(FtHandle handle) {
  if (handle == nullptr) return kFtInvalidHandle;
  const FtStatus status = handle->Close();
  delete handle;
  return status;
}
