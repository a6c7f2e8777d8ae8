#include "platform/forms/win32/form_peer.h"

#include "platform/forms/win32/control_peers.h"

namespace forms {
namespace {

constexpr const char* kFormClass = "TalvekForm";
constexpr double kDesignDpi = 96.0;

DWORD StyleOf(const FormDesign& design) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  if (design.border_style == bsSizeable) style |= WS_THICKFRAME;
  if (design.border_icons & biSystemMenu) {
    style |= WS_SYSMENU;
    if (design.border_icons & biMinimize) style |= WS_MINIMIZEBOX;
    if (design.border_icons & biMaximize) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD ExStyleOf(const FormDesign& design) {
  return design.form_style == fsStayOnTop ? WS_EX_TOPMOST : 0;
}

double ScaleOf(const FormDesign& design) {
  if (!design.scaled) return 1.0;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi / kDesignDpi;
}

}  // namespace

void RegisterFormClass() {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = Win32FormPeer::WindowProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = kFormClass;
  RegisterClassExA(&window_class);
}

Win32FormPeer::Win32FormPeer(TForm& form) : form_(form), scale_(ScaleOf(form.Design())) {
  const FormDesign& design = form.Design();
  const DWORD style = StyleOf(design);
  const DWORD ex_style = ExStyleOf(design);
  RECT outer{0, 0, Scaled(design.client_width), Scaled(design.client_height)};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  window_ = CreateWindowExA(ex_style, kFormClass, form.Caption().c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                            nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (design.icon.data != nullptr) {
    if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON")) {
      SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
  }
}

Win32FormPeer::~Win32FormPeer() {
  EnableOtherWindows();
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void Win32FormPeer::Changed() {
  SetWindowTextA(window_, form_.Caption().c_str());
  if (!form_.Visible()) {
    // Enabled first, so that the system activates one of them in this window's place.
    EnableOtherWindows();
    ShowWindow(window_, SW_HIDE);
  } else if (!IsWindowVisible(window_)) {
    if (form_.Modal()) DisableOtherWindows();
    Place();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) SetFocus(first);
  }
}

void Win32FormPeer::Place() {
  const TPosition position = form_.Design().position;
  if (position == poDesigned) return;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (position == poDesktopCenter) {
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  RECT outer;
  GetWindowRect(window_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(window_, nullptr, (area.left + area.right - width) / 2,
               (area.top + area.bottom - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The other forms' windows that can take input now; the hidden ones stay as they are.
void Win32FormPeer::DisableOtherWindows() {
  for (const TForm* other : LiveForms()) {
    const auto* peer = dynamic_cast<const Win32Peer*>(other->Peer());
    if (other == &form_ || peer == nullptr) continue;
    HWND window = peer->Handle();
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      disabled_.push_back(window);
    }
  }
}

void Win32FormPeer::EnableOtherWindows() {
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
}

LRESULT CALLBACK Win32FormPeer::WindowProc(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // The first message: the peer learns its window before CreateWindowExA returns.
    auto* created =
        static_cast<Win32FormPeer*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* peer = reinterpret_cast<Win32FormPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (peer == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  return peer->OnMessage(message, wparam, lparam);
}

LRESULT Win32FormPeer::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // A close request from the system does what Close does; the form decides.
      RunHandler([this] { form_.Close(); });
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client,
               GetSysColorBrush(SystemColorIndex(form_.Design().color)));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      if (auto* control = Win32ControlPeer::Of(reinterpret_cast<HWND>(lparam))) {
        if (HBRUSH brush = control->StaticColors(reinterpret_cast<HDC>(wparam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (auto* control = Win32ControlPeer::Of(reinterpret_cast<HWND>(lparam))) {
          control->Clicked();
          return 0;
        }
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

}  // namespace forms
