#include <algorithm>

#include "platform/forms/backend.h"
#include "platform/forms/forms.h"
#include "platform/ticks/ticks.h"

namespace {

void TellLoop() {
  if (auto* loop = forms::CurrentLoop()) loop->TimersChanged();
}

}  // namespace

TTimer::TTimer(TForm* owner, const TimerDesign& design)
    : TComponent(owner),
      name_(design.name),
      enabled_(design.enabled),
      interval_ms_(design.interval_ms) {
  owner->timers_.push_back(this);
  Restart();
  TellLoop();
}

TTimer::~TTimer() {
  std::erase(static_cast<TForm*>(Owner())->timers_, this);
  TellLoop();
}

// Only a change restarts the count: enabling an enabled timer, or setting the interval
// it already has, leaves the running count alone.
void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
  TellLoop();
}

void TTimer::SetInterval(std::uint32_t interval_ms) {
  if (interval_ms == interval_ms_) return;
  interval_ms_ = interval_ms;
  Restart();
  TellLoop();
}

void TTimer::Tick(std::uint64_t now_us) {
  // Counted before the handler runs, so an interval the handler sets wins; and from the
  // dispatch time, so ticks missed while a long handler ran are not made up.
  due_us_ = now_us + std::uint64_t{interval_ms_} * 1000;
  if (OnTimer) OnTimer(this);
}

void TTimer::Restart() { due_us_ = ticks::Current().NowUs() + std::uint64_t{interval_ms_} * 1000; }
