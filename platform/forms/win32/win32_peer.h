#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/forms/forms.h"

namespace forms {

// Implemented by every Win32 peer, forms and controls alike.
class Win32Peer {
 public:
  virtual ~Win32Peer() = default;
  virtual HWND Handle() const = 0;
};

// Look of the designs: the system colours and fonts.
int SystemColorIndex(TColor color);
// The design's font at `scale` (design pixels to screen pixels); the caller deletes it.
HFONT MakeFont(const TFontDesign& font, double scale);
// `design_pixels` at `scale`, rounded.
int ScaledPixels(int design_pixels, double scale);

}  // namespace forms
