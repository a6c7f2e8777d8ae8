// talvek-updater.exe: Win32 windows, the adapter through the vendor's FTD2XX.DLL, the
// system's own tick counter. A GUI program (-mwindows): no console.

#include "app/startup.h"
#include "platform/d2xx/win/dll_backend.h"
#include "platform/forms/win32/win32_backend.h"
#include "platform/ticks/win/windows_clock.h"

int main() {
  ticks::WindowsClock clock;
  ticks::Use(clock);
  d2xx::DllBackend adapter;
  d2xx::UseBackend(&adapter);
  forms::UseWin32Windows();
  forms::UseWin32EventLoop();
  return UpdaterMain();
}
