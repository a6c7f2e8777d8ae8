#pragma once

#include <cstdint>

// The stand-in library's operations, apart from the exported C functions: these see the
// program's own FT_ declarations, the exports see <windows.h>, and one file cannot hold
// both. Each call is serialised; the simulated Velka switches itself on a moment after
// the adapter was first opened.
namespace stand_in {

std::uint32_t OpenEx(const void* arg, std::uint32_t flags, void** handle);
std::uint32_t SetBaudRate(void* handle, std::uint32_t baud);
std::uint32_t SetDataCharacteristics(void* handle, std::uint8_t word_length, std::uint8_t stop_bits,
                                     std::uint8_t parity);
std::uint32_t SetFlowControl(void* handle, std::uint16_t flow, std::uint8_t xon, std::uint8_t xoff);
std::uint32_t SetTimeouts(void* handle, std::uint32_t read_ms, std::uint32_t write_ms);
std::uint32_t GetQueueStatus(void* handle, std::uint32_t* rx_waiting);
std::uint32_t Read(void* handle, void* buffer, std::uint32_t count, std::uint32_t* read);
std::uint32_t Purge(void* handle, std::uint32_t mask);
std::uint32_t Write(void* handle, const void* data, std::uint32_t length, std::uint32_t* written);
std::uint32_t Close(void* handle);

// "flash equals firmware" or the first byte that differs, with the protocol violations.
const char* Verdict();

}  // namespace stand_in
