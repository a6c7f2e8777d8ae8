#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/forms/forms.h"

namespace forms {

// The picture of a design (the bytes of a bitmap file) as a device-dependent bitmap,
// sized as the design says to draw it in its box: stretched to the box, shrunk with its
// aspect ratio kept when larger and proportional, or at its own size. nullptr when the
// bytes are not a bitmap file; the caller deletes it.
HBITMAP MakeBitmap(const ImageDesign& design, int box_width, int box_height);

}  // namespace forms
