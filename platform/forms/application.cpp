#include <cstdio>

#include "platform/forms/backend.h"
#include "platform/forms/forms.h"

// Never destroyed: forms and their peers may still be about while static objects of
// the backends go away at exit.
TApplication* Application = new TApplication();

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() { DestroyForms(); }

// Nothing to prepare: the backends are installed by the program before start-up.
void TApplication::Initialize() {}

void TApplication::SetTitle(const std::string& title) { title_ = title; }

void TApplication::Adopt(TForm* form) {
  if (main_form_ == nullptr) main_form_ = form;
}

void TApplication::Run() {
  if (main_form_ == nullptr) return;
  main_form_->Show();
  if (auto* loop = forms::CurrentLoop()) loop->RunNested([this] { return terminated_; });
}

void TApplication::Terminate() {
  terminated_ = true;
  if (auto* loop = forms::CurrentLoop()) loop->Wake();
}

void TApplication::ShowException(const Exception& e) {
  std::string text = e.Message();
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  if (auto* loop = forms::CurrentLoop()) {
    loop->ShowError(title_, text);
  } else {
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), text.c_str());
  }
}

void TApplication::DestroyForms() {
  DestroyComponents();
  main_form_ = nullptr;
  terminated_ = false;
}

void forms::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Exception& e) {
    Application->ShowException(e);
  } catch (const std::exception& e) {
    Application->ShowException(Exception(e.what()));
  } catch (...) {
    Application->ShowException(Exception(""));
  }
}
