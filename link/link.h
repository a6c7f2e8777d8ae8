#pragma once

#include <cstdint>

#include "platform/d2xx/d2xx.h"

// The only layer between the update logic and the update adapter. Buffers belong to
// the callers; nothing here knows what a reply means.

inline constexpr const char* kAdapterDescription = "TALVEK Update Adapter";
inline constexpr std::uint32_t kWriteTimeoutMs = 5000;
// Attempts per send while the adapter refuses a write. Each may take the whole write
// time-out, so an unplugged adapter holds the GUI thread for at most about 15 s.
inline constexpr int kWriteAttempts = 3;

// The open update adapter; 0 when none is open.
extern FtHandle AdapterHandle;

bool ConnectAdapter();
FtHandle OpenAdapter();
void ConfigureLine(FtHandle handle, std::uint32_t baud, std::uint8_t stop_bits);
void CloseAdapter();
// Reads, without waiting, at most `count` of the bytes that have arrived into `buffer`
// from its first byte; n is the number read. With nothing read the buffer is untouched.
void ReadAvailable(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& n);
// Discards any received bytes not yet read, then writes the frame.
void SendFrame(const std::uint8_t* buffer, std::uint16_t length);
// SendFrame of a zero-terminated text, without its terminating zero.
void SendText(const char* text);
// Busy wait on the tick counter; no window message is handled meanwhile.
void WaitMs(std::uint16_t ms);
bool ReplyContains(const std::uint8_t* buffer, std::uint8_t value, std::uint8_t n);
