#include "app/texts.h"
#include "app/updater_form.h"

namespace {

// In the order they are looked for.
const std::string* const kWaitingPrompts[] = {&kPowerOnPrompt, &kConnectPrompt,
                                              &kAdapterNotFoundPrompt, &kPowerCyclePrompt};

}  // namespace

// Blinks a waiting prompt, 1000 ms shown and 100 ms hidden; any other text stays shown.
// Setting the interval restarts Timer2's count, which is what times each phase.
void TUpdater::Timer2Timer(TObject* /*Sender*/) {
  const std::string& caption = Updater->lbInfo->Caption();
  for (const std::string* prompt : kWaitingPrompts) {
    if (caption != *prompt) continue;
    if (Updater->lbInfo->Visible()) {
      Updater->lbInfo->SetVisible(false);
      Updater->Timer2->SetInterval(100);
    } else {
      Updater->lbInfo->SetVisible(true);
      Updater->Timer2->SetInterval(1000);
    }
    return;
  }
  Updater->lbInfo->SetVisible(true);
}
