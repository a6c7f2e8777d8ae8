// Whole updates on virtual time, the real windows' model and sequencer, against a
// device whose answers and timing the fuzzer's input decides. Every run must end in a
// defined state within its bound, and success must mean the flash holds the payload.

#include <cstdio>
#include <cstdlib>

#include "app/updater_form.h"
#include "fuzz/scripted_velka.h"
#include "link/link.h"
#include "platform/forms/virtual_loop.h"
#include "sequencer/messages.h"
#include "sequencer/sequencer.h"

namespace {

// START is pressed again after a failure while the script lasts, up to this often.
constexpr int kStarts = 3;
// Once the device stops reading the script (it is used up, or the updater writes no
// more that reaches the device), the updater must have ended or be waiting at state 3
// within this: its longest silence between writes is an erase's 8.24 s wait.
constexpr std::uint32_t kSettleMs = 20000;
// While the script lasts, each word of it holds the updater at most this long (an
// erase that ends after 255 steps of 40 ms, or a refused write with its 5 s time-out).
constexpr std::uint32_t kPerWordMs = 11000;
constexpr std::uint32_t kStartUpMs = 60000;

[[noreturn]] void Finding(const char* what) {
  std::fprintf(stderr, "finding: %s (state %u, label \"%s\")\n", what, UpdateState,
               Updater->lbInfo->Caption().c_str());
  std::abort();
}

bool Ended() {
  return (UpdateState == 20 && !Updater->Timer1->Enabled()) ||
         (UpdateState == 0 && Updater->btStart->Caption() == kStartCaption);
}

// Runs one update from START; false when it is left waiting at state 3.
bool RunOnce(forms::VirtualLoop& loop, ticks::VirtualClock& clock, ScriptedVelka& velka,
             std::size_t size) {
  Updater->btStart->Click();
  const std::uint64_t limit_ms = kStartUpMs + kSettleMs + std::uint64_t{kPerWordMs} * size;
  const auto settled = [&] {
    return Ended() || clock.NowUs() >= velka.LastWordUs() + kSettleMs * 1000ull;
  };
  if (!loop.RunUntil(settled, static_cast<std::uint32_t>(limit_ms))) Finding("no end in time");
  if (Ended()) {
    if (UpdateState == 20 && Updater->lbInfo->Caption() != kSuccessText) {
      Finding("finished without the success text");
    }
    if (AdapterHandle != nullptr) Finding("adapter left open");
    return true;
  }
  if (UpdateState != 3 || Updater->btStart->Caption() != kStopCaption) {
    Finding("neither ended nor waiting for the device");
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Script script(data, size);
  ticks::VirtualClock clock;
  forms::VirtualLoop loop(clock);
  ScriptedVelka velka(clock, script);
  Application->CreateForm(Updater);
  Updater->Show();

  for (int start = 0; start < kStarts; ++start) {
    const bool ended = RunOnce(loop, clock, velka, size);
    if (Updater->lbInfo->Caption() == kSuccessText && !velka.FlashHoldsPayload()) {
      Finding("success claimed, but the flash does not hold the payload");
    }
    if (!ended || UpdateState == 20 || velka.Exhausted()) break;
  }

  if (UpdateState != 0) Updater->btStart->Click();  // STOP, or QUIT after a success
  if (AdapterHandle != nullptr) Finding("adapter open after STOP");
  Application->DestroyForms();
  Updater = nullptr;
  return 0;
}
