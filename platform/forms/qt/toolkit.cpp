#include <QApplication>

#include "platform/forms/qt/application.h"
#include "platform/forms/qt/control_peers.h"
#include "platform/forms/qt/form_peer.h"
#include "platform/forms/qt/qt_backend.h"
#include "platform/forms/qt/qt_widgets.h"

namespace forms {
namespace {

class QtToolkit final : public Toolkit {
 public:
  std::unique_ptr<FormPeer> MakeForm(TForm& form) override {
    return std::make_unique<QtFormPeer>(form);
  }
  std::unique_ptr<ControlPeer> MakeLabel(TLabel& label) override { return MakeQtLabel(label); }
  std::unique_ptr<ControlPeer> MakeButton(TButton& button) override { return MakeQtButton(button); }
  std::unique_ptr<ControlPeer> MakeImage(TImage& image) override { return MakeQtImage(image); }
  std::unique_ptr<ControlPeer> MakeProgressBar(TProgressBar& bar) override {
    return MakeQtProgressBar(bar);
  }
};

}  // namespace

void EnsureQtApplication() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "talvek-updater";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  // The program ends when its main form closes, not when Qt sees no window left.
  QApplication::setQuitOnLastWindowClosed(false);
}

void UseQtWindows() {
  EnsureQtApplication();
  static QtToolkit toolkit;
  InstallToolkit(&toolkit);
}

QWidget* WidgetOf(const TForm& form) {
  const auto* peer = dynamic_cast<const QtPeer*>(form.Peer());
  return peer != nullptr ? peer->Widget() : nullptr;
}

QWidget* WidgetOf(const TControl& control) {
  const auto* peer = dynamic_cast<const QtPeer*>(control.Peer());
  return peer != nullptr ? peer->Widget() : nullptr;
}

}  // namespace forms
