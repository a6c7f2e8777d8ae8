#pragma once

#include <QWidget>
#include <memory>

#include "platform/forms/backend.h"
#include "platform/forms/qt/qt_peer.h"

namespace forms {

// A form as a top-level window; the client area is the widget itself.
class QtFormPeer final : public FormPeer, public QtPeer {
 public:
  explicit QtFormPeer(TForm& form);
  ~QtFormPeer() override;

  void Changed() override;
  QWidget* Widget() const override { return window_.get(); }
  // Design pixels to screen pixels: the system font size on a Scaled form, else 1.
  double Scale() const { return scale_; }
  int Scaled(int design_pixels) const;

 private:
  void Place();

  TForm& form_;
  std::unique_ptr<QWidget> window_;
  double scale_ = 1.0;
};

}  // namespace forms
