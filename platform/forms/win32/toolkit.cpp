#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// Needs <windows.h> first.
#include <commctrl.h>

#include "platform/forms/win32/control_peers.h"
#include "platform/forms/win32/form_peer.h"
#include "platform/forms/win32/win32_backend.h"
#include "platform/forms/win32/win32_windows.h"

namespace forms {
namespace {

class Win32Toolkit final : public Toolkit {
 public:
  Win32Toolkit() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    RegisterFormClass();
  }
  std::unique_ptr<FormPeer> MakeForm(TForm& form) override {
    return std::make_unique<Win32FormPeer>(form);
  }
  std::unique_ptr<ControlPeer> MakeLabel(TLabel& label) override { return MakeWin32Label(label); }
  std::unique_ptr<ControlPeer> MakeButton(TButton& button) override {
    return MakeWin32Button(button);
  }
  std::unique_ptr<ControlPeer> MakeImage(TImage& image) override { return MakeWin32Image(image); }
  std::unique_ptr<ControlPeer> MakeProgressBar(TProgressBar& bar) override {
    return MakeWin32ProgressBar(bar);
  }
};

}  // namespace

void UseWin32Windows() {
  static Win32Toolkit toolkit;
  InstallToolkit(&toolkit);
}

HWND WindowOf(const TForm& form) {
  const auto* peer = dynamic_cast<const Win32Peer*>(form.Peer());
  return peer != nullptr ? peer->Handle() : nullptr;
}

HWND WindowOf(const TControl& control) {
  const auto* peer = dynamic_cast<const Win32Peer*>(control.Peer());
  return peer != nullptr ? peer->Handle() : nullptr;
}

}  // namespace forms
