#include <cmath>
#include <cstdlib>

#include "platform/forms/win32/win32_peer.h"

namespace forms {

int SystemColorIndex(TColor color) {
  switch (color) {
    case clBtnFace:
      return COLOR_BTNFACE;
    case clWindowText:
      return COLOR_WINDOWTEXT;
    case clBackground:
      return COLOR_BACKGROUND;
  }
  return COLOR_WINDOWTEXT;
}

HFONT MakeFont(const TFontDesign& font, double scale) {
  // A negative height asks for that character height, as the designs give it.
  const int height = -std::abs(ScaledPixels(font.height, scale));
  return CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, font.name);
}

int ScaledPixels(int design_pixels, double scale) {
  return static_cast<int>(std::lround(design_pixels * scale));
}

}  // namespace forms
