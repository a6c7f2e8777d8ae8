#include "platform/forms/win32/control_peers.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// Needs <windows.h> first.
#include <commctrl.h>

#include <string>

#include "platform/forms/win32/bitmap.h"
#include "platform/forms/win32/form_peer.h"
#include "platform/forms/win32/system_text.h"

namespace forms {
namespace {

// A child window of the form's window at the control's designed place.
class ControlWindow : public Win32ControlPeer {
 public:
  ControlWindow(TControl& control, const char* window_class, DWORD style)
      : control_(control), form_peer_(static_cast<Win32FormPeer&>(*control.Form()->Peer())) {
    window_ =
        CreateWindowExA(0, window_class, "", WS_CHILD | style, form_peer_.Scaled(control.Left()),
                        form_peer_.Scaled(control.Top()), form_peer_.Scaled(control.Width()),
                        form_peer_.Scaled(control.Height()), form_peer_.Handle(), nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ControlWindow() override {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
  }
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HWND Handle() const override { return window_; }

 protected:
  void SetFont(const TFontDesign& font) {
    font_ = MakeFont(font, form_peer_.Scale());
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  // The text only when it changed: setting it repaints the control.
  void SetText(const std::string& cp1252) {
    std::string text = SystemText(cp1252);
    if (text == text_) return;
    text_ = std::move(text);
    SetWindowTextA(window_, text_.c_str());
  }
  // Only a change: showing a shown control still costs the system a round of repainting.
  void ShowVisibility() {
    if (shown_ == control_.Visible()) return;
    shown_ = control_.Visible();
    ShowWindow(window_, shown_ ? SW_SHOWNA : SW_HIDE);
  }

  TControl& control_;
  Win32FormPeer& form_peer_;
  HWND window_ = nullptr;

 private:
  HFONT font_ = nullptr;
  std::string text_;
  bool shown_ = false;
};

class LabelPeer final : public ControlWindow {
 public:
  explicit LabelPeer(TLabel& label)
      : ControlWindow(label, "STATIC",
                      SS_NOPREFIX | (label.Design().word_wrap ? SS_LEFT : SS_LEFTNOWORDWRAP)),
        label_(label) {
    SetFont(label.Design().font);
  }
  void Changed() override {
    SetText(label_.Caption());
    ShowVisibility();
  }
  HBRUSH StaticColors(HDC dc) override {
    const LabelDesign& design = label_.Design();
    SetTextColor(dc, GetSysColor(SystemColorIndex(design.font.color)));
    SetBkMode(dc, TRANSPARENT);
    const TColor background = design.parent_color ? label_.Form()->Design().color : design.color;
    return GetSysColorBrush(SystemColorIndex(background));
  }

 private:
  TLabel& label_;
};

class ButtonPeer final : public ControlWindow {
 public:
  explicit ButtonPeer(TButton& button)
      : ControlWindow(button, "BUTTON",
                      WS_TABSTOP | (button.Design().is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
        button_(button) {
    SetFont(button.Design().font);
  }
  void Changed() override {
    SetText(button_.Caption());
    ShowVisibility();
  }
  void Clicked() override {
    RunHandler([this] { button_.Click(); });
  }

 private:
  TButton& button_;
};

class ImagePeer final : public ControlWindow {
 public:
  explicit ImagePeer(TImage& image)
      : ControlWindow(image, "STATIC", SS_BITMAP | (image.Design().center ? SS_CENTERIMAGE : 0)),
        bitmap_(MakeBitmap(image.Design(), form_peer_.Scaled(image.Width()),
                           form_peer_.Scaled(image.Height()))) {
    SendMessageA(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
  }
  ~ImagePeer() override {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  ImagePeer(const ImagePeer&) = delete;
  ImagePeer& operator=(const ImagePeer&) = delete;

  void Changed() override { ShowVisibility(); }

 private:
  HBITMAP bitmap_;
};

class ProgressBarPeer final : public ControlWindow {
 public:
  explicit ProgressBarPeer(TProgressBar& bar)
      : ControlWindow(bar, PROGRESS_CLASSA, bar.Design().smooth ? PBS_SMOOTH : 0), bar_(bar) {
    SendMessageA(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                 static_cast<LPARAM>(bar.Max()));
    SendMessageA(window_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
  void Changed() override {
    ShowVisibility();
    if (bar_.Position() == position_) return;
    position_ = bar_.Position();
    SendMessageA(window_, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    // Painted now: a long handler holds the GUI thread while the bar moves.
    UpdateWindow(window_);
  }

 private:
  TProgressBar& bar_;
  int position_ = bar_.Position();
};

}  // namespace

Win32ControlPeer* Win32ControlPeer::Of(HWND window) {
  if (window == nullptr) return nullptr;
  return reinterpret_cast<Win32ControlPeer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

std::unique_ptr<ControlPeer> MakeWin32Label(TLabel& label) {
  return std::make_unique<LabelPeer>(label);
}
std::unique_ptr<ControlPeer> MakeWin32Button(TButton& button) {
  return std::make_unique<ButtonPeer>(button);
}
std::unique_ptr<ControlPeer> MakeWin32Image(TImage& image) {
  return std::make_unique<ImagePeer>(image);
}
std::unique_ptr<ControlPeer> MakeWin32ProgressBar(TProgressBar& bar) {
  return std::make_unique<ProgressBarPeer>(bar);
}

}  // namespace forms
