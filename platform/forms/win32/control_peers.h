#pragma once

#include <memory>

#include "platform/forms/backend.h"
#include "platform/forms/win32/win32_peer.h"

namespace forms {

std::unique_ptr<ControlPeer> MakeWin32Label(TLabel& label);
std::unique_ptr<ControlPeer> MakeWin32Button(TButton& button);
std::unique_ptr<ControlPeer> MakeWin32Image(TImage& image);
std::unique_ptr<ControlPeer> MakeWin32ProgressBar(TProgressBar& bar);

// What a form's window asks of the controls in it.
class Win32ControlPeer : public ControlPeer, public Win32Peer {
 public:
  // The peer of a control window made here, or nullptr.
  static Win32ControlPeer* Of(HWND window);
  // A press of a button (BN_CLICKED).
  virtual void Clicked() {}
  // WM_CTLCOLORSTATIC: prepares `dc` and returns the background brush, or nullptr for
  // the system's default.
  virtual HBRUSH StaticColors(HDC dc) {
    (void)dc;
    return nullptr;
  }
};

}  // namespace forms
