#include "app/texts.h"
#include "app/updater_form.h"
#include "link/link.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"

void TUpdater::btStartClick(TObject* /*Sender*/) {
  if (UpdateState == 20) {
    // QUIT: the application ends once this handler has returned; the reset below
    // still runs first.
    Updater->Close();
  }
  if (UpdateState == 0) {
    BootPass = 0;
    UpdateState = 1;
    TargetAddress = kLoaderAddress;
    Updater->Timer1->SetEnabled(true);
    Updater->btStart->SetCaption(kStopCaption);
    return;
  }
  CloseAdapter();
  Updater->Timer1->SetEnabled(false);
  UpdateState = 0;
  TargetAddress = kLoaderAddress;
  Updater->btStart->SetCaption(kStartCaption);
  Updater->lbInfo->SetCaption(kConnectPrompt);
}
