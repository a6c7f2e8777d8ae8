#include "platform/forms/qt/form_peer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <cmath>

#include "platform/forms/qt/qt_widgets.h"

namespace forms {
namespace {

// The classic frame the designs were drawn for: 4 px borders and a 30 px caption. Used
// only to centre a window before the window manager has told its real frame.
constexpr int kFrameWidth = 2 * 4;
constexpr int kFrameHeight = 2 * 4 + 26;

constexpr double kDesignDpi = 96.0;

class FormWindow final : public QWidget {
 public:
  explicit FormWindow(TForm& form) : form_(form) {}

 protected:
  // A close request from the system does what Close does; the form decides.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    RunHandler([this] { form_.Close(); });
  }

 private:
  TForm& form_;
};

Qt::WindowFlags FlagsOf(const FormDesign& design) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (design.border_icons & biSystemMenu) {
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.border_icons & biMinimize) flags |= Qt::WindowMinimizeButtonHint;
    if (design.border_icons & biMaximize) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (design.form_style == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

}  // namespace

QtFormPeer::QtFormPeer(TForm& form) : form_(form), window_(std::make_unique<FormWindow>(form)) {
  const FormDesign& design = form.Design();
  if (design.scaled) scale_ = window_->logicalDpiY() / kDesignDpi;
  window_->setWindowFlags(FlagsOf(design));
  const QSize client(Scaled(design.client_width), Scaled(design.client_height));
  if (design.border_style == bsSingle) {
    window_->setFixedSize(client);
  } else {
    window_->resize(client);
  }
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, ColorOf(design.color));
  window_->setPalette(palette);
  window_->setAutoFillBackground(true);
  window_->setFont(FontOf(design.font, scale_));
  if (design.icon.data != nullptr) {
    QPixmap icon;
    icon.loadFromData(design.icon.data, static_cast<uint>(design.icon.size), "ICO");
    window_->setWindowIcon(QIcon(icon));
  }
}

QtFormPeer::~QtFormPeer() = default;

int QtFormPeer::Scaled(int design_pixels) const {
  return static_cast<int>(std::lround(design_pixels * scale_));
}

void QtFormPeer::Changed() {
  window_->setWindowTitle(ToQString(form_.Caption()));
  if (!form_.Visible()) {
    window_->hide();
  } else if (!window_->isVisible()) {
    // Modality can only change while hidden; a modal form disables every other window.
    window_->setWindowModality(form_.Modal() ? Qt::ApplicationModal : Qt::NonModal);
    Place();
    window_->show();
  }
}

void QtFormPeer::Place() {
  const TPosition position = form_.Design().position;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (position == poDesigned || screen == nullptr) return;
  const QRect area = position == poDesktopCenter ? screen->virtualGeometry() : screen->geometry();
  const QSize outer = window_->size() + QSize(kFrameWidth, kFrameHeight);
  window_->move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

}  // namespace forms
