#include "tests/support/update_rig.h"

#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/sequencer.h"
#include "tests/support/rig_windows.h"

UpdateRig::UpdateRig(const sim::Scenario& scenario, const sim::Timings& timings, Window window)
    : velka(clock, scenario, timings) {
  UseRigWindows();
  Application->CreateForm(Updater);
  if (window == Window::kShown) Updater->Show();
  const TNotifyEvent step = Updater->Timer1->OnTimer;
  Updater->Timer1->OnTimer = [this, step](TObject* sender) {
    step(sender);
    states_.push_back(UpdateState);
    const std::string& label = Updater->lbInfo->Caption();
    // Answer each prompt once, when it first shows, as a person would.
    const bool new_prompt = label != last_label_;
    last_label_ = label;
    if (!answer_power_prompts_ || !new_prompt) return;
    if (label == kPowerOnPrompt) {
      loop.After(300, [this] { velka.SetPower(true); });
    } else if (label == kPowerCyclePrompt) {
      loop.After(300, [this] { velka.SetPower(false); });
      loop.After(1300, [this] { velka.SetPower(true); });
    }
  };
}

UpdateRig::~UpdateRig() {
  CloseAdapter();
  Application->DestroyForms();
  Updater = nullptr;
}

void UpdateRig::PressButton() {
  last_label_.clear();  // a new run: its prompts are new to the person
  Updater->btStart->Click();
}

bool UpdateRig::RunUntil(const std::function<bool()>& done, std::uint32_t limit_ms) {
  return loop.RunUntil(done, limit_ms);
}

void UpdateRig::AnswerPowerPrompts() { answer_power_prompts_ = true; }

bool UpdateRig::RunUpdate(std::uint32_t limit_ms) {
  AnswerPowerPrompts();
  PressButton();
  // Ended: success finished (Timer1 stopped), or a failure cleaned up.
  return RunUntil(
      [] {
        return (UpdateState == 20 && !Updater->Timer1->Enabled()) ||
               (UpdateState == 0 && Updater->btStart->Caption() == "START");
      },
      limit_ms);
}

bool UpdateRig::RunTo(std::uint8_t state, std::uint32_t limit_ms) {
  AnswerPowerPrompts();
  PressButton();
  const bool reached = RunUntil([state] { return UpdateState == state; }, limit_ms);
  Updater->Timer1->SetEnabled(false);
  return reached;
}

std::string UpdateRig::Label() const { return Updater->lbInfo->Caption(); }
std::string UpdateRig::Button() const { return Updater->btStart->Caption(); }
std::string UpdateRig::Trace() { return velka.TraceText(); }
