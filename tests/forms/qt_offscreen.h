#pragma once

#include <QtGlobal>

#include "platform/forms/qt/qt_backend.h"

// Real widgets without a display, whoever starts the test program.
inline void UseOffscreenQtWindows() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  forms::UseQtWindows();
}
