#pragma once

#include <vector>

#include "platform/forms/backend.h"
#include "platform/forms/win32/win32_peer.h"

namespace forms {

// A form as a top-level window; the controls are its child windows.
class Win32FormPeer final : public FormPeer, public Win32Peer {
 public:
  explicit Win32FormPeer(TForm& form);
  ~Win32FormPeer() override;
  Win32FormPeer(const Win32FormPeer&) = delete;
  Win32FormPeer& operator=(const Win32FormPeer&) = delete;

  void Changed() override;
  HWND Handle() const override { return window_; }
  // Design pixels to screen pixels: the system font size on a Scaled form, else 1.
  double Scale() const { return scale_; }
  int Scaled(int design_pixels) const { return ScaledPixels(design_pixels, scale_); }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void Place();
  void DisableOtherWindows();
  void EnableOtherWindows();

  TForm& form_;
  HWND window_ = nullptr;
  double scale_ = 1.0;
  std::vector<HWND> disabled_;  // what this modal form disabled, to enable again
};

// Registers the window class of forms; once, before the first form.
void RegisterFormClass();

}  // namespace forms
