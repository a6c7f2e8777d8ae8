#include "platform/forms/qt/qt_backend.h"
#include "tests/support/rig_windows.h"

void UseRigWindows() { forms::UseQtWindows(); }
