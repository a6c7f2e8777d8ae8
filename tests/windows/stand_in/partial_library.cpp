// An adapter library with every operation but FT_Purge. Opening through it would
// succeed, so a backend that does not insist on the whole set would find an adapter.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

#define EXPORT extern "C" __declspec(dllexport)

namespace {
int device;
}

EXPORT std::uint32_t WINAPI FT_OpenEx(void*, std::uint32_t, void** handle) {
  *handle = &device;
  return 0;
}
EXPORT std::uint32_t WINAPI FT_SetBaudRate(void*, std::uint32_t) { return 0; }
EXPORT std::uint32_t WINAPI FT_SetDataCharacteristics(void*, std::uint8_t, std::uint8_t,
                                                      std::uint8_t) {
  return 0;
}
EXPORT std::uint32_t WINAPI FT_SetFlowControl(void*, std::uint16_t, std::uint8_t, std::uint8_t) {
  return 0;
}
EXPORT std::uint32_t WINAPI FT_SetTimeouts(void*, std::uint32_t, std::uint32_t) { return 0; }
EXPORT std::uint32_t WINAPI FT_GetQueueStatus(void*, std::uint32_t* waiting) {
  *waiting = 0;
  return 0;
}
EXPORT std::uint32_t WINAPI FT_Read(void*, void*, std::uint32_t, std::uint32_t* read) {
  *read = 0;
  return 0;
}
EXPORT std::uint32_t WINAPI FT_Write(void*, void*, std::uint32_t length, std::uint32_t* written) {
  *written = length;
  return 0;
}
EXPORT std::uint32_t WINAPI FT_Close(void*) { return 0; }
