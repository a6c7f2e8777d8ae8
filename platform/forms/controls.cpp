#include <algorithm>

#include "platform/forms/backend.h"
#include "platform/forms/forms.h"

namespace {

// Peers exist only for controls of a form that has one.
forms::Toolkit* ToolkitFor(const TForm* form) {
  forms::Toolkit* toolkit = forms::CurrentToolkit();
  return toolkit != nullptr && form->Peer() != nullptr ? toolkit : nullptr;
}

}  // namespace

TControl::TControl(TForm* owner, const char* name, int left, int top, int width, int height)
    : TComponent(owner),
      form_(owner),
      name_(name),
      left_(left),
      top_(top),
      width_(width),
      height_(height) {
  form_->controls_.push_back(this);
}

TControl::~TControl() {
  peer_.reset();
  std::erase(form_->controls_, this);
}

void TControl::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void TControl::AttachPeer(std::unique_ptr<forms::ControlPeer> peer) {
  peer_ = std::move(peer);
  Changed();
}

void TControl::Changed() {
  if (peer_) peer_->Changed();
}

TLabel::TLabel(TForm* owner, const LabelDesign& design)
    : TControl(owner, design.name, design.left, design.top, design.width, design.height),
      design_(design) {
  if (auto* toolkit = ToolkitFor(owner)) AttachPeer(toolkit->MakeLabel(*this));
}

void TLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

TButton::TButton(TForm* owner, const ButtonDesign& design)
    : TControl(owner, design.name, design.left, design.top, design.width, design.height),
      design_(design),
      caption_(design.caption) {
  if (auto* toolkit = ToolkitFor(owner)) AttachPeer(toolkit->MakeButton(*this));
}

void TButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

void TButton::Click() {
  if (OnClick) OnClick(this);
}

TImage::TImage(TForm* owner, const ImageDesign& design)
    : TControl(owner, design.name, design.left, design.top, design.width, design.height),
      design_(design) {
  if (auto* toolkit = ToolkitFor(owner)) AttachPeer(toolkit->MakeImage(*this));
}

TProgressBar::TProgressBar(TForm* owner, const ProgressBarDesign& design)
    : TControl(owner, design.name, design.left, design.top, design.width, design.height),
      design_(design),
      position_(std::clamp(design.position, design.min, design.max)) {
  if (auto* toolkit = ToolkitFor(owner)) AttachPeer(toolkit->MakeProgressBar(*this));
}

void TProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, design_.min, design_.max);
  Changed();
}
