#include <algorithm>
#include <vector>

#include "platform/forms/backend.h"
#include "platform/ticks/ticks.h"

namespace forms {
namespace {

bool IsLive(const TTimer* timer) {
  for (const TForm* form : LiveForms()) {
    const auto& timers = form->Timers();
    if (std::find(timers.begin(), timers.end(), timer) != timers.end()) return true;
  }
  return false;
}

}  // namespace

std::optional<std::uint64_t> EarliestTimerDueUs() {
  std::optional<std::uint64_t> earliest;
  for (const TForm* form : LiveForms()) {
    for (const TTimer* timer : form->Timers()) {
      if (timer->Active() && (!earliest || timer->DueUs() < *earliest)) earliest = timer->DueUs();
    }
  }
  return earliest;
}

void TickDueTimers() {
  std::vector<TTimer*> due;
  const std::uint64_t now = ticks::Current().NowUs();
  for (const TForm* form : LiveForms()) {
    for (TTimer* timer : form->Timers()) {
      if (timer->Active() && timer->DueUs() <= now) due.push_back(timer);
    }
  }
  for (TTimer* timer : due) {
    // An earlier handler may have stopped, restarted or destroyed it.
    if (!IsLive(timer) || !timer->Active() || timer->DueUs() > ticks::Current().NowUs()) {
      continue;
    }
    RunHandler([timer] { timer->Tick(ticks::Current().NowUs()); });
  }
}

}  // namespace forms
