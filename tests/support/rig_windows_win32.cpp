#include "platform/forms/win32/win32_backend.h"
#include "tests/support/rig_windows.h"

void UseRigWindows() { forms::UseWin32Windows(); }
