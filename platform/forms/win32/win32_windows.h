#pragma once

// The Win32 windows behind forms and controls, for the backend and for tests that look
// at what is on screen. The program's own code never includes this.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/forms/forms.h"

namespace forms {

// The peer's window, or nullptr when the object has no Win32 peer.
HWND WindowOf(const TForm& form);
HWND WindowOf(const TControl& control);

}  // namespace forms
