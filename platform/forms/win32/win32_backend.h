#pragma once

// The Win32 backend, chosen when the program starts. Neither call exposes a Windows type.

namespace forms {

// Makes every form created from now on a real window.
void UseWin32Windows();

// Installs the real-time loop: timers on the program clock woken by one window timer,
// a nested message loop per modal form, error boxes as message boxes.
void UseWin32EventLoop();

}  // namespace forms
