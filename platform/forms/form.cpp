#include <algorithm>

#include "platform/forms/backend.h"
#include "platform/forms/forms.h"

namespace {

std::vector<TForm*>& Live() {
  static std::vector<TForm*> forms;
  return forms;
}

}  // namespace

const std::vector<TForm*>& forms::LiveForms() { return Live(); }

TForm::TForm(TComponent* owner, const FormDesign& design)
    : TComponent(owner), design_(design), caption_(design.caption) {
  Live().push_back(this);
  if (auto* toolkit = forms::CurrentToolkit()) peer_ = toolkit->MakeForm(*this);
}

TForm::~TForm() {
  DestroyComponents();
  peer_.reset();
  std::erase(Live(), this);
}

void TForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_) peer_->Changed();
}

void TForm::Show() {
  visible_ = true;
  if (peer_) peer_->Changed();
}

void TForm::Hide() {
  visible_ = false;
  if (peer_) peer_->Changed();
}

int TForm::ShowModal() {
  modal_ = true;
  modal_result_ = mrNone;
  visible_ = true;
  if (peer_) peer_->Changed();
  if (auto* loop = forms::CurrentLoop()) {
    loop->RunNested([this] { return modal_result_ != mrNone || Application->Terminated(); });
  }
  // The application ending takes a modal form down with it.
  if (modal_result_ == mrNone && Application->Terminated()) modal_result_ = mrCancel;
  modal_ = false;
  visible_ = false;
  if (peer_) peer_->Changed();
  return modal_result_;
}

void TForm::SetModalResult(int result) {
  modal_result_ = result;
  if (auto* loop = forms::CurrentLoop()) loop->Wake();
}

void TForm::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
  } else if (Application->MainForm() == this) {
    Application->Terminate();
  } else {
    Hide();
  }
}
