#include "platform/forms/qt/control_peers.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

#include "platform/forms/qt/form_peer.h"
#include "platform/forms/qt/qt_widgets.h"

namespace forms {
namespace {

// A child widget of the form's window at the control's designed place.
template <class W>
class ControlPeerOf : public ControlPeer, public QtPeer {
 public:
  explicit ControlPeerOf(TControl& control)
      : form_peer_(static_cast<QtFormPeer&>(*control.Form()->Peer())),
        widget_(std::make_unique<W>(form_peer_.Widget())) {
    widget_->setGeometry(form_peer_.Scaled(control.Left()), form_peer_.Scaled(control.Top()),
                         form_peer_.Scaled(control.Width()), form_peer_.Scaled(control.Height()));
  }
  QWidget* Widget() const override { return widget_.get(); }

 protected:
  void SetFont(const TFontDesign& font, QPalette::ColorRole text_role) {
    widget_->setFont(FontOf(font, form_peer_.Scale()));
    QPalette palette = widget_->palette();
    palette.setColor(text_role, ColorOf(font.color));
    widget_->setPalette(palette);
  }

  QtFormPeer& form_peer_;
  std::unique_ptr<W> widget_;
};

class LabelPeer final : public ControlPeerOf<QLabel> {
 public:
  explicit LabelPeer(TLabel& label) : ControlPeerOf(label), label_(label) {
    const LabelDesign& design = label.Design();
    SetFont(design.font, QPalette::WindowText);
    widget_->setTextFormat(Qt::PlainText);
    widget_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widget_->setWordWrap(design.word_wrap);
    if (!design.parent_color) {
      QPalette palette = widget_->palette();
      palette.setColor(QPalette::Window, ColorOf(design.color));
      widget_->setPalette(palette);
      widget_->setAutoFillBackground(true);
    }
  }
  void Changed() override {
    widget_->setText(ToQString(label_.Caption()));
    widget_->setVisible(label_.Visible());
  }

 private:
  TLabel& label_;
};

class ButtonPeer final : public ControlPeerOf<QPushButton> {
 public:
  explicit ButtonPeer(TButton& button) : ControlPeerOf(button), button_(button) {
    const ButtonDesign& design = button.Design();
    SetFont(design.font, QPalette::ButtonText);
    widget_->setAutoDefault(false);
    widget_->setDefault(design.is_default);
    QObject::connect(widget_.get(), &QPushButton::clicked,
                     [this] { RunHandler([this] { button_.Click(); }); });
  }
  void Changed() override {
    widget_->setText(ToQString(button_.Caption()));
    widget_->setVisible(button_.Visible());
  }

 private:
  TButton& button_;
};

class ImagePeer final : public ControlPeerOf<QLabel> {
 public:
  explicit ImagePeer(TImage& image) : ControlPeerOf(image), image_(image) {
    const ImageDesign& design = image.Design();
    QPixmap picture;
    picture.loadFromData(design.picture.data, static_cast<uint>(design.picture.size), "BMP");
    const QSize box = widget_->size();
    if (design.stretch) {
      picture = picture.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else if (design.proportional &&
               (picture.width() > box.width() || picture.height() > box.height())) {
      picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    widget_->setAlignment(design.center ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    widget_->setPixmap(picture);
  }
  void Changed() override { widget_->setVisible(image_.Visible()); }

 private:
  TImage& image_;
};

class ProgressBarPeer final : public ControlPeerOf<QProgressBar> {
 public:
  explicit ProgressBarPeer(TProgressBar& bar) : ControlPeerOf(bar), bar_(bar) {
    widget_->setRange(bar.Min(), bar.Max());
    widget_->setTextVisible(false);
  }
  void Changed() override {
    widget_->setValue(bar_.Position());
    widget_->setVisible(bar_.Visible());
    // Painted now: a long handler holds the GUI thread while the bar moves.
    widget_->repaint();
  }

 private:
  TProgressBar& bar_;
};

}  // namespace

std::unique_ptr<ControlPeer> MakeQtLabel(TLabel& label) {
  return std::make_unique<LabelPeer>(label);
}
std::unique_ptr<ControlPeer> MakeQtButton(TButton& button) {
  return std::make_unique<ButtonPeer>(button);
}
std::unique_ptr<ControlPeer> MakeQtImage(TImage& image) {
  return std::make_unique<ImagePeer>(image);
}
std::unique_ptr<ControlPeer> MakeQtProgressBar(TProgressBar& bar) {
  return std::make_unique<ProgressBarPeer>(bar);
}

}  // namespace forms
