#pragma once

#include <cstdint>

// The adapter library's operations as the program uses them. Every call returns a
// status, 0 for success. The handle is opaque: 0 (nullptr) names no adapter.

struct FtDevice;
using FtHandle = FtDevice*;
using FtStatus = std::uint32_t;

inline constexpr FtStatus kFtOk = 0;
inline constexpr FtStatus kFtInvalidHandle = 1;
inline constexpr FtStatus kFtDeviceNotFound = 2;
inline constexpr FtStatus kFtDeviceNotOpened = 3;
inline constexpr FtStatus kFtIoError = 4;
inline constexpr FtStatus kFtInvalidParameter = 6;

inline constexpr std::uint32_t kFtOpenByDescription = 2;
inline constexpr std::uint8_t kFtBits8 = 8;
inline constexpr std::uint8_t kFtStopBits1 = 0;
inline constexpr std::uint8_t kFtStopBits2 = 2;
inline constexpr std::uint8_t kFtParityNone = 0;
inline constexpr std::uint16_t kFtFlowNone = 0;
inline constexpr std::uint32_t kFtPurgeRx = 1;

// `arg` is the description text when `flags` is kFtOpenByDescription.
FtStatus FT_OpenEx(const void* arg, std::uint32_t flags, FtHandle* handle);
FtStatus FT_SetBaudRate(FtHandle handle, std::uint32_t baud);
FtStatus FT_SetDataCharacteristics(FtHandle handle, std::uint8_t word_length,
                                   std::uint8_t stop_bits, std::uint8_t parity);
FtStatus FT_SetFlowControl(FtHandle handle, std::uint16_t flow, std::uint8_t xon,
                           std::uint8_t xoff);
FtStatus FT_SetTimeouts(FtHandle handle, std::uint32_t read_ms, std::uint32_t write_ms);
FtStatus FT_GetQueueStatus(FtHandle handle, std::uint32_t* rx_waiting);
FtStatus FT_Read(FtHandle handle, void* buffer, std::uint32_t count, std::uint32_t* read);
FtStatus FT_Purge(FtHandle handle, std::uint32_t mask);
FtStatus FT_Write(FtHandle handle, const void* data, std::uint32_t length, std::uint32_t* written);
FtStatus FT_Close(FtHandle handle);
