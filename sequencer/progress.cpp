#include "app/updater_form.h"
#include "sequencer/sequencer.h"

void AdvanceProgress() {
  // The bar's low byte, stepped in 8 bits and folded into 0..99: never shows 100.
  auto p = static_cast<std::uint8_t>(Updater->ProgressBar1->Position() & 0xFF);
  p = static_cast<std::uint8_t>(p + 1);
  p = static_cast<std::uint8_t>(p % 100);
  Updater->ProgressBar1->SetPosition(p);
}
