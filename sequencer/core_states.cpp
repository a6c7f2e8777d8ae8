#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "sequencer/state_steps.h"

void ConnectStep() {
  if (ConnectAdapter()) {
    UpdateState = 2;
  } else {
    // Not a failure: the next tick looks again, until the adapter is found or STOP.
    Updater->lbInfo->SetCaption(kAdapterNotFoundPrompt);
  }
}

void AskForPowerStep() {
  Updater->Timer2->SetEnabled(true);
  Updater->lbInfo->SetCaption(kPowerOnPrompt);
  UpdateState = 3;
}

void FinishStep() {
  Updater->Timer1->SetEnabled(false);
  Updater->lbInfo->SetVisible(true);
  Updater->ProgressBar1->SetPosition(100);
  CloseAdapter();
  Updater->btStart->SetCaption(kQuitCaption);
}

void CleanUpStep() {
  // Timer1 runs on with nothing to do; the failure message stays.
  CloseAdapter();
  Updater->btStart->SetCaption(kStartCaption);
  UpdateState = 0;
}
