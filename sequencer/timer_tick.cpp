#include "app/updater_form.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"
#include "sequencer/state_steps.h"

void TUpdater::Timer1Timer(TObject* /*Sender*/) {
  // The busy test sees the caption that the previous tick left.
  const std::string& caption = Updater->lbInfo->Caption();
  if (caption == kDownloadingText || caption == kErasingText || caption == kProgrammingText) {
    AdvanceProgress();
  }
  RunStateStep();
}
