// The stand-in's exports, by the names and with the types the program's DLL backend
// declares for the adapter library.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/windows/stand_in/velka_side.h"

#define EXPORT extern "C" __declspec(dllexport)

EXPORT std::uint32_t WINAPI FT_OpenEx(void* arg, std::uint32_t flags, void** handle) {
  return stand_in::OpenEx(arg, flags, handle);
}
EXPORT std::uint32_t WINAPI FT_SetBaudRate(void* handle, std::uint32_t baud) {
  return stand_in::SetBaudRate(handle, baud);
}
EXPORT std::uint32_t WINAPI FT_SetDataCharacteristics(void* handle, std::uint8_t word_length,
                                                      std::uint8_t stop_bits, std::uint8_t parity) {
  return stand_in::SetDataCharacteristics(handle, word_length, stop_bits, parity);
}
EXPORT std::uint32_t WINAPI FT_SetFlowControl(void* handle, std::uint16_t flow, std::uint8_t xon,
                                              std::uint8_t xoff) {
  return stand_in::SetFlowControl(handle, flow, xon, xoff);
}
EXPORT std::uint32_t WINAPI FT_SetTimeouts(void* handle, std::uint32_t read_ms,
                                           std::uint32_t write_ms) {
  return stand_in::SetTimeouts(handle, read_ms, write_ms);
}
EXPORT std::uint32_t WINAPI FT_GetQueueStatus(void* handle, std::uint32_t* rx_waiting) {
  return stand_in::GetQueueStatus(handle, rx_waiting);
}
EXPORT std::uint32_t WINAPI FT_Read(void* handle, void* buffer, std::uint32_t count,
                                    std::uint32_t* read) {
  return stand_in::Read(handle, buffer, count, read);
}
EXPORT std::uint32_t WINAPI FT_Purge(void* handle, std::uint32_t mask) {
  return stand_in::Purge(handle, mask);
}
EXPORT std::uint32_t WINAPI FT_Write(void* handle, void* data, std::uint32_t length,
                                     std::uint32_t* written) {
  return stand_in::Write(handle, data, length, written);
}
EXPORT std::uint32_t WINAPI FT_Close(void* handle) { return stand_in::Close(handle); }

// The simulated Velka's verdict, for a test that loaded the library itself.
EXPORT const char* StandInVerdict() { return stand_in::Verdict(); }

// When the program ends, the verdict goes to the file TALVEK_STAND_IN_VERDICT names.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  char path[MAX_PATH];
  if (reason != DLL_PROCESS_DETACH ||
      GetEnvironmentVariableA("TALVEK_STAND_IN_VERDICT", path, sizeof path) == 0) {
    return TRUE;
  }
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  const char* verdict = stand_in::Verdict();
  DWORD written = 0;
  WriteFile(file, verdict, static_cast<DWORD>(lstrlenA(verdict)), &written, nullptr);
  CloseHandle(file);
  return TRUE;
}
