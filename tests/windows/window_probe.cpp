#include "tests/windows/window_probe.h"

#include "platform/forms/win32/win32_windows.h"
// After <windows.h>, which it needs.
#include <commctrl.h>

namespace probe {
namespace {

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

Box BoxOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

bool HasStyle(HWND window, LONG_PTR style) {
  return (GetWindowLongPtrA(window, GWL_STYLE) & style) == style;
}

}  // namespace

std::string Text(const TForm& form) { return TextOf(forms::WindowOf(form)); }
std::string Text(const TControl& control) { return TextOf(forms::WindowOf(control)); }
bool Visible(const TForm& form) { return IsWindowVisible(forms::WindowOf(form)); }
bool Visible(const TControl& control) { return IsWindowVisible(forms::WindowOf(control)); }
bool Enabled(const TForm& form) { return IsWindowEnabled(forms::WindowOf(form)); }

Box Place(const TControl& control) {
  RECT r;
  GetWindowRect(forms::WindowOf(control), &r);
  MapWindowPoints(nullptr, forms::WindowOf(*control.Form()), reinterpret_cast<POINT*>(&r), 2);
  return BoxOf(r);
}

Box Client(const TForm& form) {
  RECT r;
  GetClientRect(forms::WindowOf(form), &r);
  return BoxOf(r);
}

Box Outer(const TForm& form) {
  RECT r;
  GetWindowRect(forms::WindowOf(form), &r);
  return BoxOf(r);
}

int DesktopWidth() { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }

bool ChildOf(const TControl& control, const TForm& form) {
  return GetParent(forms::WindowOf(control)) == forms::WindowOf(form);
}

Font FontOf(const TControl& control) {
  LOGFONTA font{};
  const auto handle =
      reinterpret_cast<HFONT>(SendMessageA(forms::WindowOf(control), WM_GETFONT, 0, 0));
  GetObjectA(handle, sizeof font, &font);
  return {font.lfFaceName, static_cast<int>(font.lfHeight), font.lfWeight >= FW_BOLD};
}

Frame FrameOf(const TForm& form) {
  HWND window = forms::WindowOf(form);
  return {HasStyle(window, WS_THICKFRAME), HasStyle(window, WS_SYSMENU),
          HasStyle(window, WS_MINIMIZEBOX), HasStyle(window, WS_MAXIMIZEBOX),
          (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0};
}

int ProgressPosition(const TProgressBar& bar) {
  return static_cast<int>(SendMessageA(forms::WindowOf(bar), PBM_GETPOS, 0, 0));
}

void Click(const TButton& button) { SendMessageA(forms::WindowOf(button), BM_CLICK, 0, 0); }
void SystemClose(const TForm& form) { SendMessageA(forms::WindowOf(form), WM_CLOSE, 0, 0); }
void PostSystemClose(const TForm& form) { PostMessageA(forms::WindowOf(form), WM_CLOSE, 0, 0); }

}  // namespace probe
